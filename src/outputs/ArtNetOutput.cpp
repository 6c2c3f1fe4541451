// The Art-Net output: a packet per frame with a sequence number, and the set-up from the name.
#include "outputs/ArtNetOutput.h"

#include "outputs/UdpSocket.h"

CInterfaceGrammar CArtNetOutput::Grammar() { return {"artnet", 0, CArtNetPacket::kMaxPortAddress, {}}; }

std::expected<std::unique_ptr<CArtNetOutput>, CError> CArtNetOutput::Open(std::string_view name) {
  auto options = CInterfaceOptions::Parse(name, Grammar());
  if (!options) return std::unexpected(options.error());
  CIpv4Address address = CArtNetPacket::BroadcastAddress();
  if (!options->Host().empty()) {
    auto resolved = CUdpSocket::Resolve(options->Host());
    if (!resolved) return std::unexpected(CError{"artnet: " + resolved.error().message});
    address = *resolved;
  }
  // Broadcasts allowed for a named node too: Art-Net nodes are often reached by a subnet's
  // broadcast address (2.255.255.255).
  auto socket = CUdpSocket::Open(address, CArtNetPacket::kPort, true);
  if (!socket) return std::unexpected(socket.error());
  return std::make_unique<CArtNetOutput>(std::string(name), CArtNetPacket(options->Universe()), std::move(*socket));
}

CArtNetOutput::CArtNetOutput(std::string name, CArtNetPacket packet, std::unique_ptr<CDatagramSocket> socket)
    : CNetworkOutput(std::move(name), "Art-Net", std::move(socket)), m_packet(packet) {}

std::expected<void, CError> CArtNetOutput::AcceptsMode(const CDmxMode& mode) {
  if (mode.startCode == CArtNetPacket::kRdmStartCode)
    return std::unexpected(Refusal("carries RDM (start code 0xCC) in packets of its own, not as DMX frames"));
  return CNetworkOutput::AcceptsMode(mode);
}

void CArtNetOutput::Send(const CDmxFrame& frame) {
  // The line calls Send under its own lock, one frame at a time: the sequence needs no lock here.
  m_sequence = static_cast<std::uint8_t>(m_sequence % 255 + 1);
  m_sender.Send(m_packet.Build(m_sequence, frame), frame.startCode == 0);
}
