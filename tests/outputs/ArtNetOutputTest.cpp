// The Art-Net output on the line: op codes by start code, sequence 1 to 255, the slot limit.
#include "link/DmxLine.h"
#include "outputs/ArtNetOutput.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

TEST(ThreadedArtNetOutput, OpCodeBySequenceWrapsPastZeroAndLongFramesRefused) {
  auto network = std::make_shared<CFakeNetwork>();
  CDmxLine line;
  line.SetOutput(std::make_unique<CArtNetOutput>("artnet:3", CArtNetPacket(3),
                                                 std::make_unique<CFakeDatagramSocket>(network)));
  EXPECT_EQ(line.DmxLinkOpen(0x8888, 0x0101), 0);
  line.DmxLinkSetMode(0xA5, 0xFD, 0, 512);
  for (int i = 0; i < 256; ++i) line.DmxLinkTransmitStart();
  line.DmxLinkSetMode(0xA5, 0x00, 0, 512);
  line.DmxLinkTransmitStart();
  line.Flush(std::chrono::seconds(2));
  const auto packets = network->Taken();
  ASSERT_EQ(packets.size(), 257u);
  EXPECT_EQ(Datagram(packets[0].begin() + 8, packets[0].begin() + 14), Hex("0051 000e 01 fd"));
  EXPECT_EQ(packets[254][12], 255);
  EXPECT_EQ(packets[255][12], 1);  // 0 would mean "no sequence"
  EXPECT_EQ(Datagram(packets[256].begin() + 8, packets[256].begin() + 14), Hex("0050 000e 02 00"));

  EXPECT_EQ(line.DmxLinkSetMode(0xA5, 0xF9, 6, 559), 1);
  EXPECT_NE(line.LastError().find("sends Art-Net, which carries at most 512 slots; a frame of 559 slots"),
            std::string::npos);
  EXPECT_EQ(line.DmxLinkSetMode(0xA5, 0xCC, 0, 512), 1);
}
