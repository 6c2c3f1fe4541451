// The sACN output: a packet per frame, the stream's end, and the set-up from the interface name.
#include "outputs/SacnOutput.h"

#include "outputs/UdpSocket.h"

#include <unistd.h>

namespace {

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
  return name;
}

}  // namespace

CInterfaceGrammar CSacnOutput::Grammar() {
  return {"sacn", CSacnPacket::kMinUniverse, CSacnPacket::kMaxUniverse,
          {{"priority", 0, CSacnPacket::kMaxPriority, CSacnPacket::kDefaultPriority}}};
}

std::expected<std::unique_ptr<CSacnOutput>, CError> CSacnOutput::Open(std::string_view name) {
  auto options = CInterfaceOptions::Parse(name, Grammar());
  if (!options) return std::unexpected(options.error());
  CIpv4Address address = CSacnPacket::MulticastAddress(options->Universe());
  if (!options->Host().empty()) {
    auto resolved = CUdpSocket::Resolve(options->Host());
    if (!resolved) return std::unexpected(CError{"sacn: " + resolved.error().message});
    address = *resolved;
  }
  auto cid = CCidStore(CCidStore::DefaultFolder()).Load();
  if (!cid) return std::unexpected(cid.error());
  auto socket = CUdpSocket::Open(address, CSacnPacket::kPort, false);
  if (!socket) return std::unexpected(socket.error());
  CSacnPacket packet(*cid, CSacnPacket::SourceName(HostName()), options->Universe(), options->Setting("priority"));
  return std::make_unique<CSacnOutput>(std::string(name), std::move(packet), std::move(*socket));
}

CSacnOutput::CSacnOutput(std::string name, CSacnPacket packet, std::unique_ptr<CDatagramSocket> socket)
    : CNetworkOutput(std::move(name), "sACN", std::move(socket)), m_packet(std::move(packet)) {}

CSacnOutput::~CSacnOutput() {
  Terminate();
  m_sender.Flush(kCloseLimit);
}

void CSacnOutput::Send(const CDmxFrame& frame) {
  std::lock_guard lock(m_mutex);
  m_lastFrame = frame;
  m_streaming = true;
  m_sender.Send(m_packet.Build(m_sequence++, frame, false), frame.startCode == 0);
}

void CSacnOutput::Terminate() {
  std::lock_guard lock(m_mutex);
  if (!m_streaming) return;
  m_streaming = false;
  // Receivers ignore the values of these packets; they carry the last frame as it was.
  for (int i = 0; i < kTerminationPackets; ++i) m_sender.Send(m_packet.Build(m_sequence++, m_lastFrame, true), false);
}
