// Byte-exact tests of the upgrade frames and their check bytes.
#include "firmware/UpgradeFrameBuilder.h"

#include <gtest/gtest.h>

#include <map>

#include "UpgradeSamples.h"

namespace {

// A zero buffer with the given bytes set.
CBuffer Expected(const std::map<std::size_t, std::uint8_t>& bytes) {
  CBuffer frame{};
  for (const auto& [at, value] : bytes) frame[at] = value;
  return frame;
}

}  // namespace

TEST(UpgradeFrame, IdleDataAndBlockEndFramesCarryTheirHeaderLineAndFrameChecks) {
  EXPECT_EQ(Idle(), Expected({{0, 0x01}, {558, 0x01}}));
  EXPECT_EQ(Data({0x10, 0x20}, 0, {0xAA, 0xBB}),
            Expected({{0, 0x01}, {1, 0x01}, {2, 0x02}, {3, 0x03}, {4, 0x10}, {5, 0x20}, {10, 0x02}, {12, 0xAA},
                      {13, 0xBB}, {524, 0x38}, {525, 0x65}, {557, 0x9D}, {558, 0x02}}));
  // Chunk offset and length low byte first; every line check over its 16 bytes.
  const CBuffer full = Data({0x10, 0x20}, 0x01020304, CBytes(512, 0xFF));
  EXPECT_EQ(CBytes(full.begin() + 6, full.begin() + 12), (CBytes{0x04, 0x03, 0x02, 0x01, 0x00, 0x02}));
  EXPECT_EQ(CBytes(full.begin() + 525, full.begin() + 557), CBytes(32, 0xF0));
  // The block end: block length bits 0 to 23 (the 0x12 is dropped), block word, the block tag's
  // second byte, header check, line check 31 over bytes 508 to 523, frame sum.
  EXPECT_EQ(End({0x10, 0x20}, 0x12345678, 0xA1B2C3D4),
            Expected({{0, 0x01}, {1, 0x01}, {2, 0x02}, {3, 0x03}, {4, 0x10}, {5, 0x20}, {6, 0xFF}, {7, 0xFF},
                      {8, 0xFF}, {9, 0xFF}, {516, 0x78}, {517, 0x56}, {518, 0x34}, {519, 0xD4}, {520, 0xC3},
                      {521, 0xB2}, {522, 0xA1}, {523, 0x20}, {524, 0x32}, {556, 0x0C}, {557, 0x3E}, {558, 0x09}}));
}
