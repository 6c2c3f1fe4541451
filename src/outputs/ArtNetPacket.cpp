// Laying out ArtDmx and ArtNzs: the op code is little-endian, the data length big-endian.
#include "outputs/ArtNetPacket.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kId[8] = {'A', 'r', 't', '-', 'N', 'e', 't', 0};
// ArtDmx has the physical input port where ArtNzs has the start code; there is one port here.
constexpr std::uint8_t kPhysicalPort = 0;

}  // namespace

std::vector<std::uint8_t> CArtNetPacket::Build(std::uint8_t sequence, const CDmxFrame& frame) const {
  const bool levels = frame.startCode == 0;
  const std::size_t slots = std::min<std::size_t>(frame.slots.size(), kMaxSlots);
  const std::size_t length = std::max<std::size_t>(2, slots + slots % 2);
  std::vector<std::uint8_t> packet(std::begin(kId), std::end(kId));
  packet.reserve(kHeaderSize + length);
  AppendLe(packet, levels ? kOpDmx : kOpNzs, 2);
  packet.push_back(0);  // protocol version, high byte first
  packet.push_back(kProtocolVersion);
  packet.push_back(sequence);
  packet.push_back(levels ? kPhysicalPort : frame.startCode);
  packet.push_back(static_cast<std::uint8_t>(m_portAddress & 0xFF));  // SubUni: sub-net and universe
  packet.push_back(static_cast<std::uint8_t>(m_portAddress >> 8));    // Net
  packet.push_back(static_cast<std::uint8_t>(length >> 8));
  packet.push_back(static_cast<std::uint8_t>(length & 0xFF));
  packet.insert(packet.end(), frame.slots.begin(), frame.slots.begin() + static_cast<std::ptrdiff_t>(slots));
  packet.resize(kHeaderSize + length, 0);
  return packet;
}
