// Manual addressing's frame and tick sequence.
#include "addressing/FixtureAddressFrame.h"

#include <cassert>

const std::uint8_t* CFixtureAddressFrame::Page(int page) const {
  assert(page >= 0 && page < kPageCount);
  return m_frame.data() + static_cast<std::size_t>(page) * kPageSize;
}

CAddressingTick CFixtureAddressFrame::Tick() {
  CAddressingTick tick;
  if (m_waitingLeft > 0) {
    tick.progress = kWaitingTicks - m_waitingLeft;
    --m_waitingLeft;
    if (m_waitingLeft == 0) {
      tick.beginsAddressing = true;
      m_selected = 0;
      m_flagged = 0;
    }
    return tick;
  }
  // The old flag is cleared before the new one goes out, so no frame carries two.
  if (m_selected != m_flagged) {
    tick.clearFlagChannel = FlagChannel(m_flagged);
    m_flagged = m_selected;
  }
  tick.flagChannel = FlagChannel(m_flagged);
  return tick;
}

void CFixtureAddressFrame::Select(int fixture) {
  assert(fixture >= 0 && fixture < kFixtureCount);
  m_selected = fixture;
}

CSavedAddress CFixtureAddressFrame::Save(std::uint32_t address) {
  assert(address >= 1 && address <= 512);
  const int channel = AddressChannel(m_selected);
  const CSavedAddress saved{channel, static_cast<std::uint8_t>(address / 256), static_cast<std::uint8_t>(address % 256)};
  m_frame[static_cast<std::size_t>(channel)] = saved.high;
  m_frame[static_cast<std::size_t>(channel) + 1] = saved.low;
  return saved;
}

std::optional<int> CFixtureAddressFrame::SavedAddress(int fixture) const {
  assert(fixture >= 0 && fixture < kFixtureCount);
  const int channel = AddressChannel(fixture);
  const int address = m_frame[static_cast<std::size_t>(channel)] * 256 + m_frame[static_cast<std::size_t>(channel) + 1];
  if (address == 0) return std::nullopt;
  return address;
}
