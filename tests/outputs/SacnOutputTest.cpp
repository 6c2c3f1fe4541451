// The sACN output on the line: sequence numbers and the stream's end; host names.
#include "link/DmxLine.h"
#include "outputs/SacnOutput.h"
#include "outputs/UdpSocket.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

namespace {

const CCid kCid{};

std::unique_ptr<CSacnOutput> OutputOn(std::shared_ptr<CFakeNetwork> network) {
  return std::make_unique<CSacnOutput>("sacn:5", CSacnPacket(kCid, "Vexmira on test", 5, 100),
                                       std::make_unique<CFakeDatagramSocket>(std::move(network)));
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
    line.SetOutput(OutputOn(network));
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

// Sending through a real socket is left to the network checks, which decode what the program sends.
TEST(UdpSocket, HostNamesResolveToAnAddressOrAnError) {
  auto resolved = CUdpSocket::Resolve("localhost");
  ASSERT_TRUE(resolved) << resolved.error().message;
  EXPECT_EQ(CUdpSocket::Format(*resolved), "127.0.0.1");
  EXPECT_FALSE(CUdpSocket::Resolve("no-such-host.invalid"));
}
