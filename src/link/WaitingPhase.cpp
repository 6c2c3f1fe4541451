// The waiting phase's hand-over, mode and ticks.
#include "link/WaitingPhase.h"

#include "link/LineConstants.h"

#include <array>
#include <cstdint>

CWaitingPhase::CWaitingPhase(CDmxLink& link, std::function<void()> switchOver)
    : m_link(link), m_switchOver(std::move(switchOver)) {
  static constexpr std::array<std::uint8_t, kImageSize> kBlank{};
  HandOverPages(m_link, kBlank.data());
  m_link.DmxLinkSetMode(kLinkMark, kStartCode, 0, kUniverseSlots);
}

bool CWaitingPhase::Tick() {
  if (!IsWaiting()) return false;
  ++m_ticksMade;
  if (!IsWaiting()) m_switchOver();
  m_link.DmxLinkTransmitStart();
  return true;
}
