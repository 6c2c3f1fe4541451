// Laying out an E1.31 data packet, all numbers in network (big-endian) order.
#include "outputs/SacnPacket.h"

#include <algorithm>

namespace {

void AppendBe16(std::vector<std::uint8_t>& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

void AppendBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  AppendBe16(out, value >> 16);
  AppendBe16(out, value & 0xFFFF);
}

// Each layer starts with the flags (0x7: vector, header and data all present) and its length,
// counted from the start of that layer to the end of the packet.
void AppendFlagsAndLength(std::vector<std::uint8_t>& out, std::size_t packetSize) {
  AppendBe16(out, 0x7000 | (packetSize - out.size()));
}

constexpr std::uint8_t kAcnPacketIdentifier[12] = {'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0, 0, 0};
constexpr std::uint16_t kPreambleSize = 0x0010;
constexpr std::uint32_t kVectorRootData = 0x00000004;
constexpr std::uint32_t kVectorRootExtended = 0x00000008;
constexpr std::uint32_t kVectorFramingData = 0x00000002;
constexpr std::uint32_t kVectorFramingDiscovery = 0x00000002;
constexpr std::uint32_t kVectorDiscoveryUniverseList = 0x00000001;
constexpr std::size_t kDiscoveryHeaderSize = 120;
constexpr std::uint8_t kVectorDmpSetProperty = 0x02;
constexpr std::uint8_t kAddressAndDataType = 0xA1;  // two-byte addresses, incrementing range
constexpr std::uint8_t kOptionStreamTerminated = 0x40;

}  // namespace

std::array<std::uint8_t, 4> CSacnPacket::MulticastAddress(int universe) {
  return {239, 255, static_cast<std::uint8_t>(universe >> 8), static_cast<std::uint8_t>(universe & 0xFF)};
}

std::string CSacnPacket::SourceName(const std::string& hostName) {
  std::string name = "Vexmira on " + hostName;
  if (name.size() >= kSourceNameSize) {
    std::size_t cut = kSourceNameSize - 1;
    while (cut > 0 && (static_cast<std::uint8_t>(name[cut]) & 0xC0) == 0x80) --cut;  // not inside a UTF-8 character
    name.resize(cut);
  }
  return name;
}

CSacnPacket::CSacnPacket(const CCid& cid, const std::string& sourceName, int universe, int priority)
    : m_cid(cid),
      m_sourceName(sourceName.substr(0, kSourceNameSize - 1)),
      m_universe(static_cast<std::uint16_t>(universe)),
      m_priority(static_cast<std::uint8_t>(priority)) {}

std::vector<std::uint8_t> CSacnPacket::Build(std::uint8_t sequence, const CDmxFrame& frame, bool terminated) const {
  const std::size_t slots = std::min<std::size_t>(frame.slots.size(), kMaxSlots);
  const std::size_t size = kHeaderSize + 1 + slots;
  std::vector<std::uint8_t> packet;
  packet.reserve(size);

  AppendRootLayer(packet, size, kVectorRootData);

  // Framing layer.
  AppendFlagsAndLength(packet, size);
  AppendBe32(packet, kVectorFramingData);
  AppendSourceName(packet);
  packet.push_back(m_priority);
  AppendBe16(packet, 0);  // synchronization address: none
  packet.push_back(sequence);
  packet.push_back(terminated ? kOptionStreamTerminated : 0);
  AppendBe16(packet, m_universe);

  // DMP layer: one set-property message over the start code and the slots.
  AppendFlagsAndLength(packet, size);
  packet.push_back(kVectorDmpSetProperty);
  packet.push_back(kAddressAndDataType);
  AppendBe16(packet, 0);  // first property address
  AppendBe16(packet, 1);  // address increment
  AppendBe16(packet, 1 + slots);
  packet.push_back(frame.startCode);
  packet.insert(packet.end(), frame.slots.begin(), frame.slots.begin() + static_cast<std::ptrdiff_t>(slots));
  return packet;
}

std::vector<std::uint8_t> CSacnPacket::BuildDiscovery() const {
  const std::size_t size = kDiscoveryHeaderSize + 2;
  std::vector<std::uint8_t> packet;
  packet.reserve(size);
  AppendRootLayer(packet, size, kVectorRootExtended);

  // Framing layer: the source name and four reserved bytes.
  AppendFlagsAndLength(packet, size);
  AppendBe32(packet, kVectorFramingDiscovery);
  AppendSourceName(packet);
  AppendBe32(packet, 0);

  // Universe discovery layer: the page, the last page, the sorted universes.
  AppendFlagsAndLength(packet, size);
  AppendBe32(packet, kVectorDiscoveryUniverseList);
  packet.push_back(0);
  packet.push_back(0);
  AppendBe16(packet, m_universe);
  return packet;
}

void CSacnPacket::AppendRootLayer(std::vector<std::uint8_t>& packet, std::size_t size, std::uint32_t vector) const {
  AppendBe16(packet, kPreambleSize);
  AppendBe16(packet, 0);  // post-amble size
  packet.insert(packet.end(), std::begin(kAcnPacketIdentifier), std::end(kAcnPacketIdentifier));
  AppendFlagsAndLength(packet, size);
  AppendBe32(packet, vector);
  packet.insert(packet.end(), m_cid.begin(), m_cid.end());
}

void CSacnPacket::AppendSourceName(std::vector<std::uint8_t>& packet) const {
  packet.insert(packet.end(), m_sourceName.begin(), m_sourceName.end());
  packet.resize(packet.size() + kSourceNameSize - m_sourceName.size(), 0);
}
