// The Art-Net output on the line: sequence 1 to 255 and the slot limit.
#include "link/DmxLine.h"
#include "outputs/ArtNetOutput.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

TEST(ThreadedArtNetOutput, SequenceWrapsPastZeroAndLongFramesRefused) {
  auto network = std::make_shared<CFakeNetwork>();
  CDmxLine line;
  line.SetOutput(std::make_unique<CArtNetOutput>("artnet:3", CArtNetPacket(3),
                                                 std::make_unique<CFakeDatagramSocket>(network)));
  line.DmxLinkSetMode(0xA5, 0xFD, 0, 512);
  for (int i = 0; i < 256; ++i) line.DmxLinkTransmitStart();
  line.DmxLinkSetMode(0xA5, 0x00, 0, 512);
  line.DmxLinkTransmitStart();
  line.Flush(std::chrono::seconds(2));
  const auto packets = network->Taken();
  ASSERT_EQ(packets.size(), 257u);
  EXPECT_EQ(packets[254][12], 255);
  EXPECT_EQ(packets[255][12], 1);  // 0 would mean "no sequence"

  EXPECT_EQ(line.DmxLinkSetMode(0xA5, 0xF9, 6, 559), 1);
  EXPECT_EQ(line.LastError(),
            "The DMX interface artnet:3 sends Art-Net, which carries at most 512 slots; a frame of 559 slots needs an "
            "open-DMX adapter (--interface opendmx:/dev/ttyUSBn)");
  EXPECT_EQ(line.DmxLinkSetMode(0xA5, 0xCC, 0, 512), 1);
}
