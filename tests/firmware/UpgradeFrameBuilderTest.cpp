// Byte-exact tests of the upgrade frames and their check bytes.
#include "firmware/UpgradeFrameBuilder.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using CBuffer = CUpgradeFrameBuilder::CBuffer;

const CUpgradeFrameBuilder kBuilder({0x01, 0x02, 0x03});

// A buffer filled with junk, so that a builder that forgets to clear it is caught.
CBuffer Dirty() {
  CBuffer frame;
  frame.fill(0xEE);
  return frame;
}

// A zero buffer with the given bytes set.
CBuffer Expected(const std::map<std::size_t, std::uint8_t>& bytes) {
  CBuffer frame{};
  for (const auto& [at, value] : bytes) frame[at] = value;
  return frame;
}

}  // namespace

TEST(UpgradeFrame, IdleFrameIsOneThenZerosThenFrameSumOfOneHundredAndTwoFiftySix) {
  CBuffer frame = Dirty();
  CUpgradeFrameBuilder::BuildIdle(frame);
  // Frame sum 0x0100: header check 0 and line checks 0 before it.
  EXPECT_EQ(frame, Expected({{0, 0x01}, {558, 0x01}}));
}

TEST(UpgradeFrame, DataFrameWithTwoBytesMatchesWorkedExample) {
  CBuffer frame = Dirty();
  kBuilder.BuildData(frame, {0x10, 0x20}, 0, std::vector<std::uint8_t>{0xAA, 0xBB});
  // Header, chunk, header check, line check 0 (lines 1 to 31 are 0), frame sum.
  EXPECT_EQ(frame, Expected({{0, 0x01}, {1, 0x01}, {2, 0x02}, {3, 0x03}, {4, 0x10}, {5, 0x20}, {10, 0x02},
                             {12, 0xAA}, {13, 0xBB}, {524, 0x38}, {525, 0x65}, {557, 0x9D}, {558, 0x02}}));
}

TEST(UpgradeFrame, BlockEndFrameCarriesOnlyTheLow24BitsOfTheBlockLength) {
  CBuffer frame = Dirty();
  kBuilder.BuildBlockEnd(frame, {0x10, 0x20}, 0x12345678, 0xA1B2C3D4);
  // Block length bits 0 to 23 (the 0x12 is dropped), block word, the block tag's second byte,
  // header check, line check 31 over bytes 508 to 523, frame sum.
  EXPECT_EQ(frame, Expected({{0, 0x01}, {1, 0x01}, {2, 0x02}, {3, 0x03}, {4, 0x10}, {5, 0x20}, {6, 0xFF},
                             {7, 0xFF}, {8, 0xFF}, {9, 0xFF}, {516, 0x78}, {517, 0x56}, {518, 0x34}, {519, 0xD4},
                             {520, 0xC3}, {521, 0xB2}, {522, 0xA1}, {523, 0x20}, {524, 0x32}, {556, 0x0C},
                             {557, 0x3E}, {558, 0x09}}));
}

TEST(UpgradeFrame, FullAndShortChunksFillTheirLinesAndWrapTheFrameSum) {
  CBuffer frame = Dirty();
  kBuilder.BuildData(frame, {0x10, 0x20}, 0x200, std::vector<std::uint8_t>(512, 0xFF));
  // Offset 0x200 and length 512, low byte first.
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 6, frame.begin() + 12),
            (std::vector<std::uint8_t>{0x00, 0x02, 0x00, 0x00, 0x00, 0x02}));
  EXPECT_EQ(frame[523], 0xFF);
  EXPECT_EQ(frame[524], 0x3A);
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 525, frame.begin() + 557), std::vector<std::uint8_t>(32, 0xF0));
  // S = 59 + 512 * 255 = 130619, which is 65083 modulo 65536; plus 255 gives 0xFF3A.
  EXPECT_EQ(frame[557], 0x3A);
  EXPECT_EQ(frame[558], 0xFF);
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 559, frame.end()), std::vector<std::uint8_t>(frame.size() - 559, 0));

  // Line 0 full and one byte into line 1; the rest of the payload and the other lines are zero.
  frame = Dirty();
  kBuilder.BuildData(frame, {0x10, 0x20}, 0x01020304, std::vector<std::uint8_t>(17, 0x01));
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 6, frame.begin() + 11),
            (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01, 17}));
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 12, frame.begin() + 524),
            [] { std::vector<std::uint8_t> p(512, 0); std::fill_n(p.begin(), 17, 0x01); return p; }());
  std::vector<std::uint8_t> lines(32, 0);
  lines[0] = 16;
  lines[1] = 1;
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 525, frame.begin() + 557), lines);
}

TEST(UpgradeFrame, PagesSplitTheBufferIntoFourTransmitPages) {
  CBuffer frame{};
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i / 142 + 1);
  for (std::size_t page = 0; page < 4; ++page) {
    const auto bytes = CUpgradeFrameBuilder::Page(frame, page);
    EXPECT_EQ(bytes.data(), frame.data() + 142 * page);
    EXPECT_EQ(bytes.size(), 142u);
  }
}
