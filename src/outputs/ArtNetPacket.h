// Art-Net 4 packets of a controller: ArtDmx for start code 0, ArtNzs for any other start code;
// ArtPoll, and ArtPollReply both ways.
#pragma once
#include "link/DmxFrame.h"
#include "outputs/DatagramSocket.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CArtNetPacket final {
 public:
  static constexpr std::uint16_t kPort = 6454;
  static constexpr int kMaxPortAddress = 32767;  // net (7 bits), sub-net (4), universe (4)
  static constexpr std::uint16_t kOpPoll = 0x2000;
  static constexpr std::uint16_t kOpPollReply = 0x2100;
  static constexpr std::uint16_t kOpDmx = 0x5000;
  static constexpr std::uint16_t kOpNzs = 0x5100;
  static constexpr std::uint8_t kProtocolVersion = 14;
  static constexpr int kMaxSlots = 512;
  static constexpr std::size_t kHeaderSize = 18;
  // The start code of RDM, which travels in packets of its own.
  static constexpr std::uint8_t kRdmStartCode = 0xCC;

  static constexpr std::size_t kPollReplySize = 239;
  // Shorter replies come from nodes older than Art-Net 4; shorter ones still are not replies.
  static constexpr std::size_t kMinPollReplySize = 207;

  // What a node says of itself in an ArtPollReply: the port-addresses it puts out as DMX.
  struct CNodeReply {
    int bindIndex = 0;  // which of the node's replies (a node with many ports sends several)
    std::vector<int> outputs;
  };

  // Whether `packet` is an ArtPoll of protocol version 14 or later, which every device answers.
  static bool IsPoll(std::span<const std::uint8_t> packet);
  static std::vector<std::uint8_t> BuildPoll();
  // This program's answer to an ArtPoll: a controller at `address`, named `longName`, with no ports.
  static std::vector<std::uint8_t> BuildPollReply(const CIpv4Address& address, const std::string& longName);
  // A node's ArtPollReply; none for anything else.
  static std::optional<CNodeReply> ParsePollReply(std::span<const std::uint8_t> packet);

  explicit CArtNetPacket(int portAddress) : m_portAddress(static_cast<std::uint16_t>(portAddress)) {}

  // One packet for the frame. The data length is even, 2 to 512: an odd count of slots gets one
  // zero slot more. Sequence 0 tells receivers not to reorder; 1 to 255 otherwise.
  std::vector<std::uint8_t> Build(std::uint8_t sequence, const CDmxFrame& frame) const;

  int PortAddress() const { return m_portAddress; }

 private:
  std::uint16_t m_portAddress;
};
