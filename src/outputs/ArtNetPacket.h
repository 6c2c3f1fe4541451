// Art-Net 4 packets for DMX data: ArtDmx for start code 0, ArtNzs for any other start code.
#pragma once
#include "link/DmxFrame.h"

#include <array>
#include <cstdint>
#include <vector>

class CArtNetPacket final {
 public:
  static constexpr std::uint16_t kPort = 6454;
  static constexpr int kMaxPortAddress = 32767;  // net (7 bits), sub-net (4), universe (4)
  static constexpr std::uint16_t kOpDmx = 0x5000;
  static constexpr std::uint16_t kOpNzs = 0x5100;
  static constexpr std::uint8_t kProtocolVersion = 14;
  static constexpr int kMaxSlots = 512;
  static constexpr std::size_t kHeaderSize = 18;
  // The start code of RDM, which travels in packets of its own.
  static constexpr std::uint8_t kRdmStartCode = 0xCC;

  // The limited broadcast address, for nodes that were not named.
  static std::array<std::uint8_t, 4> BroadcastAddress() { return {255, 255, 255, 255}; }

  explicit CArtNetPacket(int portAddress) : m_portAddress(static_cast<std::uint16_t>(portAddress)) {}

  // One packet for the frame. The data length is even, 2 to 512: an odd count of slots gets one
  // zero slot more. Sequence 0 tells receivers not to reorder; 1 to 255 otherwise.
  std::vector<std::uint8_t> Build(std::uint8_t sequence, const CDmxFrame& frame) const;

 private:
  std::uint16_t m_portAddress;
};
