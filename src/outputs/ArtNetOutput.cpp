// The Art-Net output: a packet per frame to the nodes that take it, polls and answers, and the
// set-up from the name.
#include "outputs/ArtNetOutput.h"

#include "outputs/UdpSocket.h"

#include <algorithm>

namespace {

constexpr CIpv4Address kLimitedBroadcast{255, 255, 255, 255};

}  // namespace

CInterfaceGrammar CArtNetOutput::Grammar() {
  return {"artnet", 0, CArtNetPacket::kMaxPortAddress, {CInterfaceSetting::Text("iface")}};
}

std::expected<std::unique_ptr<CArtNetOutput>, CError> CArtNetOutput::Open(std::string_view name,
                                                                          const CNoticeHandler& notice) {
  auto options = CInterfaceOptions::Parse(name, Grammar());
  if (!options) return std::unexpected(options.error());
  auto socket = CUdpSocket::Open(CArtNetPacket::kPort, true, true);
  if (!socket) {
    // Another program on this computer holds the port: frames still go out, but no reply comes in.
    if (notice && options->Host().empty()) {
      notice(socket.error().message + ": no Art-Net node can answer this program, so its frames go to "
                                      "the broadcast address of each network");
    }
    socket = CUdpSocket::Open(CArtNetPacket::kPort, true, false);
    if (!socket) return std::unexpected(socket.error());
  }
  auto interfaces = CInterfaceChoice::Make("artnet", options->Text("iface"), (*socket)->LocalAddresses());
  if (!interfaces) return std::unexpected(interfaces.error());
  CSettings settings{std::nullopt, *interfaces, StationName()};
  if (!options->Host().empty()) {
    auto resolved = CUdpSocket::Resolve(options->Host());
    if (!resolved) return std::unexpected(CError{"artnet: " + resolved.error().message});
    settings.host = *resolved;
  }
  return std::make_unique<CArtNetOutput>(std::string(name), CArtNetPacket(options->Universe()), std::move(*socket),
                                         std::move(settings));
}

CArtNetOutput::CArtNetOutput(std::string name, CArtNetPacket packet, std::unique_ptr<CDatagramSocket> socket,
                             CSettings settings)
    : CNetworkOutput(std::move(name), "Art-Net", std::move(socket), settings.interfaces),
      m_packet(packet),
      m_settings(std::move(settings)) {
  {
    std::lock_guard lock(m_mutex);
    RefreshRoutesLocked(PickAddresses());
  }
  m_sender.Listen([this](const CReceivedDatagram& datagram) { Receive(datagram); }, kPollInterval, [this] { Poll(); });
  // The first poll before any frame, so nodes answer sooner; once listening, so no answer is missed.
  std::lock_guard lock(m_mutex);
  m_sender.Send(CArtNetPacket::BuildPoll(), m_pollRoutes, true);
}

CArtNetOutput::~CArtNetOutput() { m_sender.StopListening(); }

std::expected<void, CError> CArtNetOutput::AcceptsMode(const CDmxMode& mode) {
  if (mode.startCode == CArtNetPacket::kRdmStartCode)
    return std::unexpected(Refusal("carries RDM (start code 0xCC) in packets of its own, not as DMX frames"));
  return CNetworkOutput::AcceptsMode(mode);
}

void CArtNetOutput::Send(const CDmxFrame& frame) {
  std::lock_guard lock(m_mutex);
  m_sequence = static_cast<std::uint8_t>(m_sequence % 255 + 1);
  m_sender.Send(m_packet.Build(m_sequence, frame), m_dataRoutes, frame.startCode == 0);
}

void CArtNetOutput::Poll() {
  std::vector<CLocalAddress> picked = PickAddresses();  // a system call: before the lock
  std::lock_guard lock(m_mutex);
  const auto heardSince = m_sender.Now() - kNodeTimeout;
  std::erase_if(m_nodes, [&](const CNode& node) { return node.lastHeard < heardSince; });
  RefreshRoutesLocked(std::move(picked));
  m_sender.Send(CArtNetPacket::BuildPoll(), m_pollRoutes, true);
}

void CArtNetOutput::RefreshRoutesLocked(std::vector<CLocalAddress> picked) {
  m_picked = std::move(picked);
  if (!m_settings.host) {
    m_pollRoutes = CInterfaceChoice::DirectedBroadcast(m_picked);
  } else if (*m_settings.host == kLimitedBroadcast) {
    m_pollRoutes = CInterfaceChoice::LimitedBroadcast(m_picked);
  } else {
    m_pollRoutes = m_interfaces.Unicast(m_picked, *m_settings.host);
  }
  ChooseDataRoutesLocked();
}

void CArtNetOutput::Receive(const CReceivedDatagram& datagram) {
  std::lock_guard lock(m_mutex);
  // With iface= the program takes part in that network alone.
  const bool chosen = std::any_of(m_picked.begin(), m_picked.end(), [&](const CLocalAddress& local) {
    return local.interfaceIndex == datagram.interfaceIndex;
  });
  if (m_interfaces.Named() && !chosen) return;
  if (CArtNetPacket::IsPoll(datagram.bytes)) {
    const CDatagramRoute back{datagram.from, 0, datagram.localAddress};
    m_sender.Send(CArtNetPacket::BuildPollReply(datagram.localAddress, m_settings.longName), {&back, 1}, true);
    return;
  }
  const auto reply = CArtNetPacket::ParsePollReply(datagram.bytes);
  // Devices without outputs (other controllers, this program) are no nodes to send to.
  if (!reply || reply->outputs.empty()) return;
  auto node = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const CNode& n) {
    return n.address == datagram.from && n.bindIndex == reply->bindIndex;
  });
  if (node == m_nodes.end()) node = m_nodes.insert(m_nodes.end(), CNode{datagram.from, reply->bindIndex, {}, {}});
  node->outputs = reply->outputs;
  node->lastHeard = m_sender.Now();
  ChooseDataRoutesLocked();
}

void CArtNetOutput::ChooseDataRoutesLocked() {
  if (m_settings.host) {
    m_dataRoutes = m_pollRoutes;
    return;
  }
  if (m_nodes.empty()) {
    m_dataRoutes = CInterfaceChoice::DirectedBroadcast(m_picked);
    return;
  }
  m_dataRoutes.clear();
  for (const CNode& node : m_nodes) {
    const bool takes = std::ranges::find(node.outputs, m_packet.PortAddress()) != node.outputs.end();
    const auto route = m_interfaces.Unicast(m_picked, node.address).front();
    if (takes && std::find(m_dataRoutes.begin(), m_dataRoutes.end(), route) == m_dataRoutes.end()) {
      m_dataRoutes.push_back(route);
    }
  }
}
