// The sACN output: sequence and stream ends on the line; discovery, priorities and interfaces on its clock.
#include "link/DmxLine.h"
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

// Sequence number, options and start code of each packet.
std::vector<Datagram> Fields(const std::vector<Datagram>& packets) {
  std::vector<Datagram> fields;
  for (const Datagram& p : packets) fields.push_back({p.at(111), p.at(112), p.at(125)});
  return fields;
}

}  // namespace

TEST(ThreadedSacnOutput, SequenceGoesOnAndStandByOrTheEndTerminatesTheStream) {
  auto network = std::make_shared<CFakeNetwork>();
  {
    CDmxLine line;
    line.SetOutput(OutputOn(network, {CIpv4Address{10, 0, 0, 9}, {}, false}));
    EXPECT_EQ(line.DmxLinkOpen(0x8888, 0x0102), 1);
    EXPECT_EQ(line.DmxLinkOpen(0x8888, 0x0101), 0);
    line.DmxLinkSetMode(0xA5, 0x00, 0, 512);
    line.DmxLinkTransmitStart();
    line.DmxLinkSetMode(0xA5, 0xFC, 0, 2);
    line.DmxLinkTransmitStart();
    line.DmxLinkStandBy();  // the stream ends at once with three packets carrying the last frame
    line.DmxLinkStandBy();  // and only once
    EXPECT_EQ(Fields(network->Taken()),
              (std::vector<Datagram>{{0, 0, 0}, {1, 0, 0xFC}, {2, 0x40, 0xFC}, {3, 0x40, 0xFC}, {4, 0x40, 0xFC}}));
    line.DmxLinkSetMode(0xA5, 0xFE, 0, 512);
    line.DmxLinkTransmitStart();
    // Then the program ends while the line sends.
  }
  const auto packets = network->Taken();
  ASSERT_EQ(packets.size(), 9u);
  EXPECT_EQ(Fields({packets.begin() + 5, packets.end()}),
            (std::vector<Datagram>{{5, 0, 0xFE}, {6, 0x40, 0xFE}, {7, 0x40, 0xFE}, {8, 0x40, 0xFE}}));
}

TEST(ThreadedSacnOutput, MulticastByEveryInterfaceWithDiscoveryAndPerAddressPriorities) {
  auto network = std::make_shared<CFakeNetwork>();
  network->addresses = {{"lo", 1, {127, 0, 0, 1}, {}, true, true},
                        {"eth1", 2, {10, 0, 0, 5}, CIpv4Address{10, 255, 255, 255}, false, true},
                        {"eth2", 3, {192, 168, 1, 5}, CIpv4Address{192, 168, 1, 255}, false, true}};
  auto output = OutputOn(network, {std::nullopt, {}, true});
  // Level frames at these times (ms) with slots 1 to 3; then a command frame.
  for (const auto& [ms, slots] : std::vector<std::pair<int, Datagram>>{
           {0, {255, 0, 7}}, {500, {255, 0, 7}}, {600, {0, 0, 7}}, {1600, {0, 0, 7}}, {2000, {0, 0, 7}},
           {9999, {0, 0, 7}}, {10000, {0, 0, 7}}}) {
    output->Send({ms * 1000LL, 0, 0, slots});
  }
  output->Send({10100'000, 0xFD, 0, {1, 2}});
  // What each packet was: levels (L), priorities (P), discovery (U), a command frame (C).
  std::string kinds;
  std::vector<Datagram> priorities;
  const auto sent = network->Sent();
  for (std::size_t i = 0; i < sent.size(); i += 2) {
    const Datagram& p = sent[i].bytes;
    const bool discovery = p[21] == 8;
    ASSERT_EQ(sent[i + 1].bytes, p) << "each packet goes by both interfaces, and never by loopback";
    EXPECT_EQ(sent[i].route, (CDatagramRoute{CSacnPacket::MulticastAddress(discovery ? 64214 : 5), 2, {10, 0, 0, 5}}));
    EXPECT_EQ(sent[i + 1].route.interfaceIndex, 3);
    kinds += discovery ? 'U' : p[125] == 0 ? 'L' : p[125] == 0xDD ? 'P' : 'C';
    if (!discovery && p[125] == 0xDD) priorities.emplace_back(p.begin() + 126, p.end());
    if (!discovery) {
      EXPECT_EQ(p[111], i / 2 - std::count(kinds.begin(), kinds.end(), 'U')) << "one sequence";
    }
  }
  EXPECT_EQ(kinds, "LPU" "L" "LP" "LP" "L" "LP" "LU" "C");
  EXPECT_EQ(priorities, (std::vector<Datagram>{{100, 0, 100}, {0, 0, 100}, {0, 0, 100}, {0, 0, 100}}));
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
