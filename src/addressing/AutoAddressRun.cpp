// Automatic addressing's calls to the line, run by run.
#include "addressing/AutoAddressRun.h"

#include "addressing/AddressRange.h"
#include "link/LineConstants.h"

#include <cassert>

void CAutoAddressRun::Setup(std::uint32_t firstAddress) {
  assert(m_state == EAutoAddressState::Idle && IsDmxAddress(firstAddress));
  // The frame carries the address minus one as a 9-bit number.
  const std::uint32_t value = firstAddress - 1;
  m_link.DmxLinkTransmitSetChannelValue(0, static_cast<std::int32_t>(value / 256));
  m_link.DmxLinkTransmitSetChannelValue(1, static_cast<std::int32_t>(value % 256));
  m_link.DmxLinkSetMode(kLinkMark, kStartCode, 0, kFrameLength);
  m_state = EAutoAddressState::Running;
  m_startsMade = 0;
}

void CAutoAddressRun::Tick() {
  if (m_state != EAutoAddressState::Running) return;
  m_link.DmxLinkTransmitStart();
  if (++m_startsMade == kStarts) m_state = EAutoAddressState::Finished;
}

void CAutoAddressRun::FinishAcknowledged() {
  assert(m_state == EAutoAddressState::Finished);
  m_link.DmxLinkStandBy();
  m_state = EAutoAddressState::Idle;
  m_startsMade = 0;
}

void CAutoAddressRun::Close() {
  m_link.DmxLinkStandBy();
  m_state = EAutoAddressState::Idle;
  m_startsMade = 0;
}
