// ANSI E1.31 (sACN) packets of one source and universe: data packets (root, framing and DMP
// layers) and universe discovery packets.
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
  // Universe discovery goes to the multicast group of this universe.
  static constexpr int kDiscoveryUniverse = 64214;
  // The start code of per-address priorities: one value a slot, 0 for "not sourced here".
  static constexpr std::uint8_t kPerAddressPriorityStartCode = 0xDD;

  // The universe's multicast group: 239.255.{universe high byte}.{universe low byte}.
  static std::array<std::uint8_t, 4> MulticastAddress(int universe);
  // "Vexmira on HOST", cut to fit the field.
  static std::string SourceName(const std::string& hostName);

  CSacnPacket(const CCid& cid, const std::string& sourceName, int universe, int priority);

  // A data packet carrying the frame's start code as property value 0 and its slots after it
  // (at most kMaxSlots). `terminated` marks the last packets of a stream.
  std::vector<std::uint8_t> Build(std::uint8_t sequence, const CDmxFrame& frame, bool terminated) const;
  // A universe discovery packet listing this universe: page 0 of 0.
  std::vector<std::uint8_t> BuildDiscovery() const;

  int Universe() const { return m_universe; }
  int Priority() const { return m_priority; }

 private:
  void AppendRootLayer(std::vector<std::uint8_t>& packet, std::size_t size, std::uint32_t vector) const;
  void AppendSourceName(std::vector<std::uint8_t>& packet) const;

  CCid m_cid;
  std::string m_sourceName;
  std::uint16_t m_universe;
  std::uint8_t m_priority;
};
