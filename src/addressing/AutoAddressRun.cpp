// The automatic addressing run's frame slots and start count.
#include "addressing/AutoAddressRun.h"

#include <cassert>

std::array<std::uint8_t, CAutoAddressRun::kFrameLength> CAutoAddressRun::FrameSlots(std::uint32_t firstAddress) {
  assert(firstAddress >= 1 && firstAddress <= 512);
  const std::uint32_t value = firstAddress - 1;
  return {static_cast<std::uint8_t>(value / 256), static_cast<std::uint8_t>(value % 256)};
}

bool CAutoAddressRun::CountStart() {
  if (m_left == 0) return false;
  --m_left;
  return m_left == 0;
}
