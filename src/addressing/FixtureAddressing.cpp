// Manual addressing's calls to the line: the switch to addressing, the flag moves and the saves.
#include "addressing/FixtureAddressing.h"

#include "link/LineConstants.h"

#include <cassert>

CFixtureAddressing::CFixtureAddressing(CDmxLink& link) : m_link(link), m_waiting(link, [this] { BeginAddressing(); }) {}

void CFixtureAddressing::BeginAddressing() {
  m_selected = 1;
  m_flagged = 1;
  m_link.DmxLinkTransmitSetChannelValue(FlagChannel(m_flagged), kFlagOn);
  m_link.DmxLinkSetMode(kLinkMark, kStartCode, 0, kUniverseSlots);
}

void CFixtureAddressing::Tick() {
  if (m_waiting.Tick()) return;
  if (m_selected != m_flagged) {
    m_link.DmxLinkTransmitSetChannelValue(FlagChannel(m_flagged), 0);
    m_flagged = m_selected;
  }
  m_link.DmxLinkTransmitStartWithChannelValue(FlagChannel(m_flagged), kFlagOn);
}

void CFixtureAddressing::Close() { m_link.DmxLinkStandBy(); }

void CFixtureAddressing::Select(int fixture) {
  assert(IsFixtureNumber(static_cast<std::uint32_t>(fixture)));
  m_selected = fixture;
}

void CFixtureAddressing::Save(std::uint32_t address) {
  assert(IsDmxAddress(address));
  m_saved[static_cast<std::size_t>(m_selected - 1)] = static_cast<std::uint16_t>(address);
  m_link.DmxLinkTransmitSetChannelValue(AddressChannel(m_selected), static_cast<std::int32_t>(address / 256));
  m_link.DmxLinkTransmitSetChannelValue(AddressChannel(m_selected) + 1, static_cast<std::int32_t>(address % 256));
}

std::optional<int> CFixtureAddressing::SavedAddress(int fixture) const {
  assert(IsFixtureNumber(static_cast<std::uint32_t>(fixture)));
  const int address = m_saved[static_cast<std::size_t>(fixture - 1)];
  if (address == 0) return std::nullopt;
  return address;
}
