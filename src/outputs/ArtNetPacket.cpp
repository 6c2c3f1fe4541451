// Laying out and reading Art-Net packets: op codes and the UDP port are little-endian, the
// protocol version and the data length big-endian.
#include "outputs/ArtNetPacket.h"

#include "base/LittleEndian.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kId[8] = {'A', 'r', 't', '-', 'N', 'e', 't', 0};
// ArtDmx has the physical input port where ArtNzs has the start code; there is one port here.
constexpr std::uint8_t kPhysicalPort = 0;

// ArtPollReply fields, by their offset.
constexpr std::size_t kReplyAddress = 10;
constexpr std::size_t kReplyPort = 14;
constexpr std::size_t kReplyNetSwitch = 18;
constexpr std::size_t kReplySubSwitch = 19;
constexpr std::size_t kReplyOem = 20;
constexpr std::size_t kReplyShortName = 26;
constexpr std::size_t kReplyLongName = 44;
constexpr std::size_t kReplyPortCount = 173;  // the low byte; at most 4
constexpr std::size_t kReplyPortTypes = 174;
constexpr std::size_t kReplySwOut = 190;
constexpr std::size_t kReplyStyle = 200;
constexpr std::size_t kReplyBindAddress = 207;
constexpr std::size_t kReplyBindIndex = 211;
constexpr std::size_t kReplyStatus2 = 212;
constexpr std::size_t kMaxPorts = 4;
constexpr std::uint8_t kPortOutputsDmx = 0x80;  // port type: puts DMX out from the network
constexpr std::uint16_t kOemUnknown = 0x00FF;
constexpr std::uint8_t kStyleController = 0x01;
constexpr std::uint8_t kStatus2PortAddress15Bit = 0x08;
constexpr std::size_t kShortNameSize = 18;
constexpr std::size_t kLongNameSize = 64;

std::vector<std::uint8_t> Header(std::uint16_t opCode) {
  std::vector<std::uint8_t> packet(std::begin(kId), std::end(kId));
  AppendLe(packet, opCode, 2);
  return packet;
}

std::optional<std::uint16_t> OpCode(std::span<const std::uint8_t> packet) {
  if (packet.size() < sizeof kId + 2 || !std::equal(std::begin(kId), std::end(kId), packet.begin())) {
    return std::nullopt;
  }
  return ReadU16Le(packet, sizeof kId);
}

// Text in a field of `size` bytes that keeps at least one NUL.
void PutText(std::vector<std::uint8_t>& packet, std::size_t at, const std::string& text, std::size_t size) {
  std::copy_n(text.begin(), std::min(text.size(), size - 1), packet.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

bool CArtNetPacket::IsPoll(std::span<const std::uint8_t> packet) {
  constexpr std::size_t kMinPollSize = 14;
  return OpCode(packet) == kOpPoll && packet.size() >= kMinPollSize &&
         (packet[10] << 8 | packet[11]) >= kProtocolVersion;
}

std::vector<std::uint8_t> CArtNetPacket::BuildPoll() {
  std::vector<std::uint8_t> packet = Header(kOpPoll);
  packet.push_back(0);  // protocol version, high byte first
  packet.push_back(kProtocolVersion);
  packet.push_back(0);  // flags: answer polls only, no diagnostics
  packet.push_back(0);  // diagnostics priority
  return packet;
}

std::vector<std::uint8_t> CArtNetPacket::BuildPollReply(const CIpv4Address& address, const std::string& longName) {
  std::vector<std::uint8_t> packet = Header(kOpPollReply);
  packet.resize(kPollReplySize, 0);
  std::copy(address.begin(), address.end(), packet.begin() + kReplyAddress);
  WriteU16Le(packet, kReplyPort, kPort);
  packet[kReplyOem] = kOemUnknown >> 8;
  packet[kReplyOem + 1] = kOemUnknown & 0xFF;
  PutText(packet, kReplyShortName, "Vexmira", kShortNameSize);
  PutText(packet, kReplyLongName, longName, kLongNameSize);
  packet[kReplyStyle] = kStyleController;
  std::copy(address.begin(), address.end(), packet.begin() + kReplyBindAddress);
  packet[kReplyBindIndex] = 1;  // the root device
  packet[kReplyStatus2] = kStatus2PortAddress15Bit;
  return packet;
}

std::optional<CArtNetPacket::CNodeReply> CArtNetPacket::ParsePollReply(std::span<const std::uint8_t> packet) {
  if (OpCode(packet) != kOpPollReply || packet.size() < kMinPollReplySize) return std::nullopt;
  CNodeReply reply;
  reply.bindIndex = packet.size() > kReplyBindIndex ? packet[kReplyBindIndex] : 0;
  const int netAndSubNet = (packet[kReplyNetSwitch] & 0x7F) << 8 | (packet[kReplySubSwitch] & 0x0F) << 4;
  for (std::size_t port = 0; port < std::min<std::size_t>(packet[kReplyPortCount], kMaxPorts); ++port) {
    if ((packet[kReplyPortTypes + port] & kPortOutputsDmx) != 0) {
      reply.outputs.push_back(netAndSubNet | (packet[kReplySwOut + port] & 0x0F));
    }
  }
  return reply;
}

std::vector<std::uint8_t> CArtNetPacket::Build(std::uint8_t sequence, const CDmxFrame& frame) const {
  const bool levels = frame.startCode == 0;
  const std::size_t slots = std::min<std::size_t>(frame.slots.size(), kMaxSlots);
  const std::size_t length = std::max<std::size_t>(2, slots + slots % 2);
  std::vector<std::uint8_t> packet = Header(levels ? kOpDmx : kOpNzs);
  packet.reserve(kHeaderSize + length);
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
