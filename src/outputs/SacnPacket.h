// ANSI E1.31 (sACN) data packets: root, framing and DMP layers for one universe.
#pragma once
#include "link/DmxFrame.h"
#include "outputs/CidStore.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CSacnPacket final {
 public:
  static constexpr std::uint16_t kPort = 5568;
  static constexpr int kMinUniverse = 1;
  static constexpr int kMaxUniverse = 63999;
  static constexpr int kMaxPriority = 200;
  static constexpr int kDefaultPriority = 100;
  // Start code and slots: property values of one packet.
  static constexpr int kMaxSlots = 512;
  // Bytes ahead of the property values.
  static constexpr std::size_t kHeaderSize = 125;
  // The source name field holds this much text and at least one NUL.
  static constexpr std::size_t kSourceNameSize = 64;

  // The universe's multicast group: 239.255.{universe high byte}.{universe low byte}.
  static std::array<std::uint8_t, 4> MulticastAddress(int universe);
  // "Vexmira on HOST", cut to fit the field.
  static std::string SourceName(const std::string& hostName);

  CSacnPacket(const CCid& cid, const std::string& sourceName, int universe, int priority);

  // A data packet carrying the frame's start code as property value 0 and its slots after it
  // (at most kMaxSlots). `terminated` marks the last packets of a stream.
  std::vector<std::uint8_t> Build(std::uint8_t sequence, const CDmxFrame& frame, bool terminated) const;

 private:
  CCid m_cid;
  std::string m_sourceName;
  std::uint16_t m_universe;
  std::uint8_t m_priority;
};
