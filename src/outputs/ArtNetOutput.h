// Art-Net 4 to a node or, when none is named, to the limited broadcast address.
#pragma once
#include "outputs/ArtNetPacket.h"
#include "outputs/InterfaceOptions.h"
#include "outputs/NetworkOutput.h"

#include <memory>
#include <string>

// Level frames go in ArtDmx, other start codes in ArtNzs; at most 512 slots, RDM not at all.
class CArtNetOutput final : public CNetworkOutput {
 public:
  // The grammar of "artnet:UNIVERSE[@HOST]": the universe is the 15-bit port address.
  static CInterfaceGrammar Grammar();
  static std::expected<std::unique_ptr<CArtNetOutput>, CError> Open(std::string_view name);

  CArtNetOutput(std::string name, CArtNetPacket packet, std::unique_ptr<CDatagramSocket> socket);

  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override;
  void Send(const CDmxFrame& frame) override;

 private:
  CArtNetPacket m_packet;
  std::uint8_t m_sequence = 0;  // the last one sent; 1 to 255, never 0 (which means "not in use")
};
