// The sACN output: a packet per frame, discovery and priorities beside them, the stream's end, and
// the set-up from the interface name.
#include "outputs/SacnOutput.h"

#include "outputs/UdpSocket.h"

namespace {

// Whether `interval` has passed since `last` on the stream's clock (which may have been set back).
bool Due(const std::optional<std::int64_t>& last, std::int64_t nowUs, std::chrono::microseconds interval) {
  return !last || nowUs - *last >= interval.count() || nowUs < *last;
}

}  // namespace

CInterfaceGrammar CSacnOutput::Grammar() {
  return {"sacn",
          CSacnPacket::kMinUniverse,
          CSacnPacket::kMaxUniverse,
          {CInterfaceSetting::Number("priority", 0, CSacnPacket::kMaxPriority, CSacnPacket::kDefaultPriority),
           CInterfaceSetting::Text("iface"), CInterfaceSetting::Flag("per-address")}};
}

std::expected<std::unique_ptr<CSacnOutput>, CError> CSacnOutput::Open(std::string_view name,
                                                                      const CNoticeHandler& notice) {
  auto options = CInterfaceOptions::Parse(name, Grammar());
  if (!options) return std::unexpected(options.error());
  auto socket = CUdpSocket::Open(CSacnPacket::kPort, false, false);
  if (!socket) return std::unexpected(socket.error());
  const std::vector<CLocalAddress> present = (*socket)->LocalAddresses();
  auto interfaces = CInterfaceChoice::Make("sacn", options->Text("iface"), present);
  if (!interfaces) return std::unexpected(interfaces.error());
  CSettings settings{std::nullopt, *interfaces, options->Setting("per-address") != 0};
  if (!options->Host().empty()) {
    auto resolved = CUdpSocket::Resolve(options->Host());
    if (!resolved) return std::unexpected(CError{"sacn: " + resolved.error().message});
    if (CInterfaceChoice::IsBroadcast(*resolved, present)) {
      return std::unexpected(CError{"sacn: " + CUdpSocket::Format(*resolved) +
                                    " is a broadcast address, which sACN does not send to: name one receiver "
                                    "after @, or leave @HOST out for the universe's multicast group"});
    }
    settings.host = *resolved;
  }
  CCidStore::CClaim cid = CCidStore(CCidStore::DefaultFolder()).Claim();
  if (!cid.notice.empty() && notice) notice(cid.notice);
  CSacnPacket packet(cid.cid, StationName(), options->Universe(), options->Setting("priority"));
  auto output = std::make_unique<CSacnOutput>(std::string(name), std::move(packet), std::move(*socket), settings);
  output->KeepCidLock(std::move(cid.lock));
  return output;
}

CSacnOutput::CSacnOutput(std::string name, CSacnPacket packet, std::unique_ptr<CDatagramSocket> socket,
                         CSettings settings)
    : CNetworkOutput(std::move(name), "sACN", std::move(socket), settings.interfaces),
      m_packet(std::move(packet)),
      m_settings(std::move(settings)) {
  std::lock_guard lock(m_mutex);
  RefreshRoutesLocked();
}

CSacnOutput::~CSacnOutput() {
  Terminate();
  m_sender.Flush(kCloseLimit);
}

void CSacnOutput::RefreshRoutesLocked() {
  const std::vector<CLocalAddress> picked = PickAddresses();
  m_routes = m_settings.host ? m_interfaces.Unicast(picked, *m_settings.host)
                             : CInterfaceChoice::Multicast(picked, CSacnPacket::MulticastAddress(m_packet.Universe()));
  m_discoveryRoutes =
      CInterfaceChoice::Multicast(picked, CSacnPacket::MulticastAddress(CSacnPacket::kDiscoveryUniverse));
}

void CSacnOutput::Send(const CDmxFrame& frame) {
  std::lock_guard lock(m_mutex);
  m_lastFrame = frame;
  m_streaming = true;
  const bool discover = Due(m_lastDiscoveryUs, frame.timeUs, kDiscoveryInterval);
  if (discover) {
    m_lastDiscoveryUs = frame.timeUs;
    RefreshRoutesLocked();
  }
  m_sender.Send(m_packet.Build(m_sequence++, frame, false), m_routes, frame.startCode == 0);
  if (m_settings.perAddress && frame.startCode == 0) SendPrioritiesLocked(frame);
  // A stream to one node is no business of monitoring tools on the network.
  if (discover && !m_settings.host) m_sender.Send(m_packet.BuildDiscovery(), m_discoveryRoutes, true);
}

void CSacnOutput::SendPrioritiesLocked(const CDmxFrame& frame) {
  // 0 is "not sourced here": a slot this source drives gets at least 1.
  const auto priority = static_cast<std::uint8_t>(std::max(1, m_packet.Priority()));
  CDmxFrame priorities{frame.timeUs, CSacnPacket::kPerAddressPriorityStartCode, 0, frame.slots};
  for (std::uint8_t& slot : priorities.slots) slot = slot > 0 ? priority : 0;
  if (priorities.slots == m_lastPriorities && !Due(m_lastPrioritiesUs, frame.timeUs, kPriorityInterval)) return;
  m_lastPrioritiesUs = frame.timeUs;
  m_lastPriorities = priorities.slots;
  m_sender.Send(m_packet.Build(m_sequence++, priorities, false), m_routes, false);
}

void CSacnOutput::Terminate() {
  std::lock_guard lock(m_mutex);
  if (!m_streaming) return;
  m_streaming = false;
  m_lastPrioritiesUs.reset();  // a new stream says its priorities at once
  // Receivers ignore the values of these packets; they carry the last frame as it was.
  for (int i = 0; i < kTerminationPackets; ++i) {
    m_sender.Send(m_packet.Build(m_sequence++, m_lastFrame, true), m_routes, false);
  }
}
