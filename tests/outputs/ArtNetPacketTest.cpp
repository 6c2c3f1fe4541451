// Art-Net packets byte for byte, against layouts worked out by hand from Art-Net 4.
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

TEST(ArtNetPacket, PollAndPollReplyByteForByteAndNodeRepliesRead) {
  // "Art-Net", OpPoll low byte first, version 14, flags 0 (answer polls only), diagnostics priority 0.
  EXPECT_EQ(CArtNetPacket::BuildPoll(), Hex("4172742d4e657400 0020 000e 00 00"));
  // OpPollReply, IP, port 0x1936 low byte first, firmware 0, net 0, sub-net 0, OEM 0x00ff (unknown),
  // UBEA 0, status 0, ESTA 0, short name (18), long name (64), empty report (64), no ports (2 + 20),
  // video, macro, remote, spare (3), style 1 (controller), MAC (6), bind IP, bind index 1, status 2
  // with 15-bit port addresses, and 26 zero bytes to 239.
  const Datagram reply = Hex("4172742d4e657400 0021 0a000005 3619 0000 00 00 00ff 00 00 0000" +
                             ("566578 6d697261" + std::string(2 * 11, '0')) +
                             ("566578 6d697261206f6e2074657374" + std::string(2 * 49, '0')) + std::string(2 * 64, '0') +
                             std::string(2 * 22, '0') + "000000 000000 01 000000000000 0a000005 01 08" +
                             std::string(2 * 26, '0'));
  ASSERT_EQ(reply.size(), 239u);
  EXPECT_EQ(CArtNetPacket::BuildPollReply({10, 0, 0, 5}, "Vexmira on test"), reply);
  EXPECT_EQ(CArtNetPacket::ParsePollReply(reply)->outputs, std::vector<int>{}) << "no ports";

  // A node on net 0x12, sub-net 3 with an output port for universe 4 and an input port, in the
  // shorter reply of an Art-Net 3 node.
  Datagram node(reply.begin(), reply.begin() + CArtNetPacket::kMinPollReplySize);
  // NetSwitch, SubSwitch, the number of ports, the two ports' types, the first port's SwOut.
  for (const auto& [at, value] : {std::pair{18, 0x12}, {19, 0x03}, {173, 2}, {174, 0x80}, {175, 0x40}, {190, 0x04}})
    node[at] = static_cast<std::uint8_t>(value);
  EXPECT_EQ(CArtNetPacket::ParsePollReply(node)->outputs, std::vector<int>{0x1234});
  EXPECT_FALSE(CArtNetPacket::ParsePollReply(Datagram(node.begin(), node.end() - 1)));
  EXPECT_TRUE(CArtNetPacket::IsPoll(Hex("4172742d4e657400 0020 000e 02 00 7fff 0000 0000 0000")));  // later fields
  EXPECT_FALSE(CArtNetPacket::IsPoll(Hex("4172742d4e657400 0020 000d 00 00")));  // protocol 13
  EXPECT_FALSE(CArtNetPacket::IsPoll(Hex("4172742d4e657400 0020 000e 00")));
}
