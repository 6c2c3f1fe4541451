// The sACN output on its clock: one sequence, streams ended once, discovery, priorities, interfaces; a real socket.
#include "outputs/SacnOutput.h"
#include "outputs/UdpSocket.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

namespace {

const CCid kCid{};

std::unique_ptr<CSacnOutput> OutputOn(std::shared_ptr<CFakeNetwork> network, CSacnOutput::CSettings settings) {
  return std::make_unique<CSacnOutput>("sacn:5", CSacnPacket(kCid, "Vexmira on test", 5, 100),
                                       std::make_unique<CFakeDatagramSocket>(std::move(network)), settings);
}

}  // namespace

TEST(ThreadedSacnOutput, OneSequenceByEveryInterfaceWithDiscoveryPrioritiesAndStreamsEndedOnce) {
  auto network = std::make_shared<CFakeNetwork>();
  network->addresses = {{"lo", 1, {127, 0, 0, 1}, {}, true, true},
                        {"eth1", 2, {10, 0, 0, 5}, CIpv4Address{10, 255, 255, 255}, false, true},
                        {"eth2", 3, {192, 168, 1, 5}, CIpv4Address{192, 168, 1, 255}, false, true}};
  auto output = OutputOn(network, {std::nullopt, {}, true});
  // Level frames at these times (ms) with slots 1 to 3; a command frame; stand-by twice; a new
  // stream, ended by the output's end.
  for (const auto& [ms, slots] : std::vector<std::pair<int, Datagram>>{
           {0, {255, 0, 7}}, {500, {255, 0, 7}}, {600, {0, 0, 7}}, {1600, {0, 0, 7}}, {2000, {0, 0, 7}},
           {9999, {0, 0, 7}}, {10000, {0, 0, 7}}}) {
    output->Send({ms * 1000LL, 0, 0, slots});
  }
  output->Send({10100'000, 0xFD, 0, {1, 2}});
  output->StandBy();
  output->StandBy();
  output->Send({10200'000, 0, 0, {0, 0, 7}});
  output.reset();
  // What each packet was: levels (L), priorities (P), discovery (U), a command frame (C), a stream's
  // end (t), which carries the last frame.
  std::string kinds;
  std::vector<Datagram> priorities;
  Datagram lastFrame;
  const auto sent = network->Sent();
  for (std::size_t i = 0; i < sent.size(); i += 2) {
    const Datagram& p = sent[i].bytes;
    const bool discovery = p[21] == 8, ended = !discovery && (p[112] & 0x40) != 0;
    ASSERT_EQ(sent[i + 1].bytes, p) << "each packet goes by both interfaces, and never by loopback";
    EXPECT_EQ(sent[i].route, (CDatagramRoute{CSacnPacket::MulticastAddress(discovery ? 64214 : 5), 2, {10, 0, 0, 5}}));
    EXPECT_EQ(sent[i + 1].route.interfaceIndex, 3);
    kinds += discovery ? 'U' : ended ? 't' : p[125] == 0 ? 'L' : p[125] == 0xDD ? 'P' : 'C';
    if (kinds.back() == 'P') priorities.emplace_back(p.begin() + 126, p.end());
    if (ended) {
      EXPECT_EQ(Datagram(p.begin() + 125, p.end()), lastFrame) << i;
    }
    if (kinds.back() == 'L' || kinds.back() == 'C') lastFrame.assign(p.begin() + 125, p.end());
    if (!discovery) {
      EXPECT_EQ(p[111], i / 2 - std::count(kinds.begin(), kinds.end(), 'U')) << "one sequence";
    }
  }
  EXPECT_EQ(kinds, "LPU" "L" "LP" "LP" "L" "LP" "LU" "C" "ttt" "LP" "ttt");  // a new stream says its priorities at once
  EXPECT_EQ(priorities, (std::vector<Datagram>{{100, 0, 100}, {0, 0, 100}, {0, 0, 100}, {0, 0, 100}, {0, 0, 100}}));
}

// What only a real socket shows: the route given in IP_PKTINFO, where a datagram came from and by
// which interface, and a wake that ends a wait. The show network's interfaces are the network checks'.
TEST(UdpSocket, SendsByTheRouteGivenReadsWhereADatagramCameFromAndWakes) {
  auto resolved = CUdpSocket::Resolve("localhost");
  ASSERT_TRUE(resolved) << resolved.error().message;
  EXPECT_EQ(CUdpSocket::Format(*resolved), "127.0.0.1");
  EXPECT_FALSE(CUdpSocket::Resolve("no-such-host.invalid"));
  auto socket = CUdpSocket::Open(0, false, true);  // on a free port, sending to itself
  ASSERT_TRUE(socket) << socket.error().message;
  const auto present = CUdpSocket::SystemAddresses();
  const CLocalAddress lo = CInterfaceChoice::Make("", "lo", present)->Pick(present).at(0);
  ASSERT_TRUE((*socket)->Send(Datagram{1, 2}, {lo.address, lo.interfaceIndex, lo.address}));
  (*socket)->Wait(CDatagramSocket::Clock::now() + std::chrono::seconds(5));
  const auto received = (*socket)->Receive();
  ASSERT_TRUE(received);
  EXPECT_EQ(std::tuple(received->bytes, received->from, received->interfaceIndex, received->localAddress),
            std::tuple(Datagram{1, 2}, lo.address, lo.interfaceIndex, lo.address));
  (*socket)->Wake();
  (*socket)->Wait(CDatagramSocket::Clock::time_point::max());
}
