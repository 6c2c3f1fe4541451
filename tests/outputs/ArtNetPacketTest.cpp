// ArtDmx and ArtNzs byte for byte, against layouts worked out by hand from Art-Net 4.
#include "outputs/ArtNetPacket.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

TEST(ArtNetPacket, LevelsInArtDmxOtherStartCodesInArtNzsEvenLength) {
  const CArtNetPacket packet(0x1234);  // net 0x12, sub-net 3, universe 4
  CDmxFrame frame;
  frame.slots = {0x01, 0x02, 0x03};
  // "Art-Net", op code 0x5000 low byte first, version 14, sequence, physical 0, SubUni, Net, length 4.
  EXPECT_EQ(packet.Build(9, frame), Hex("4172742d4e657400 0050 000e 09 00 34 12 0004 01020300"));

  frame.startCode = 0xFE;
  frame.slots = {0xAA, 0xBB};
  EXPECT_EQ(packet.Build(255, frame), Hex("4172742d4e657400 0051 000e ff fe 34 12 0002 aabb"));
  frame.slots = {0x07};
  EXPECT_EQ(packet.Build(1, frame), Hex("4172742d4e657400 0051 000e 01 fe 34 12 0002 0700"));
  // The highest port address: SubUni 0xFF, Net 0x7F (a full ArtDmx goes through the network check).
  const Datagram top = CArtNetPacket(CArtNetPacket::kMaxPortAddress).Build(1, frame);
  EXPECT_EQ(top, Hex("4172742d4e657400 0051 000e 01 fe ff 7f 0002 0700"));
}
