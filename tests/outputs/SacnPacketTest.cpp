// E1.31 data packets byte for byte, against layouts worked out by hand from the standard.
#include "outputs/SacnPacket.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

namespace {

const CCid kCid{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};

}  // namespace

TEST(SacnPacket, DataAndUniverseDiscoveryPacketsByteForByte) {
  const CSacnPacket packet(kCid, "Vexmira on test", 0x1234, 150);
  CDmxFrame frame;
  frame.startCode = 0xFD;
  frame.slots = {0x01, 0x02, 0x03};
  // Root: preamble 16, post-amble 0, "ASC-E1.17", flags 7 and length 129 - 16, vector 4, CID.
  Datagram expected = Hex("0010 0000 4153432d45312e3137000000 7071 00000004 0102030405060708090a0b0c0d0e0f10"
                          // Framing: flags and length 129 - 38, vector 2, "Vexmira on test" NUL padded to 64,
                          "705b 00000002 5665786d697261206f6e2074657374" + std::string(2 * 49, '0') +
                          // priority 150, sync 0, sequence 7, options, universe;
                          "96 0000 07 00 1234"
                          // DMP: length 129 - 115, set property, type a1, address 0, increment 1, count 4.
                          "700e 02 a1 0000 0001 0004 fd 010203");
  ASSERT_EQ(expected.size(), 129u);
  EXPECT_EQ(packet.Build(7, frame, false), expected);

  expected[112] = 0x40;  // Stream_Terminated
  expected[111] = 0xFF;
  EXPECT_EQ(packet.Build(0xFF, frame, true), expected);

  // A full frame's DMP layer is longer than one byte can say (the network check reads the other lengths).
  frame.slots.assign(512, 0xAB);
  const Datagram full = packet.Build(0, frame, false);
  EXPECT_EQ(full.at(115) << 8 | full.at(116), 0x720B);

  // Universe discovery. Root: flags and length 122 - 16, vector 8 (extended), CID; framing: length
  // 122 - 38, vector 2 (discovery), the source name, 4 reserved bytes; discovery: length 122 - 112,
  // vector 1 (universe list), page 0 of 0, the universe.
  EXPECT_EQ(packet.BuildDiscovery(),
            Hex("0010 0000 4153432d45312e3137000000 706a 00000008 0102030405060708090a0b0c0d0e0f10"
                "7054 00000002 5665786d697261206f6e2074657374" + std::string(2 * 49, '0') + "00000000"
                "700a 00000001 00 00 1234"));
}

TEST(SacnPacket, MulticastGroupAndSourceName) {
  EXPECT_EQ(CSacnPacket::MulticastAddress(63999), (std::array<std::uint8_t, 4>{239, 255, 249, 255}));

  EXPECT_EQ(CSacnPacket::SourceName("desk"), "Vexmira on desk");
  // 63 bytes at most, so the field keeps a NUL; a character of two bytes is never cut in half.
  EXPECT_EQ(CSacnPacket::SourceName(std::string(60, 'h')).size(), 63u);
  const std::string cut = CSacnPacket::SourceName(std::string(51, 'h') + "\xC3\xA9");
  EXPECT_EQ(cut, "Vexmira on " + std::string(51, 'h'));
}
