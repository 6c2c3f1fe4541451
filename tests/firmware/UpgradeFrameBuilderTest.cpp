// Byte-exact tests of the upgrade frames and their check bytes.
#include "firmware/UpgradeFrameBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using CBuffer = CUpgradeFrameBuilder::CBuffer;

// A buffer filled with junk, so that a builder that forgets to clear it is caught.
CBuffer Dirty() {
  CBuffer frame;
  frame.fill(0xEE);
  return frame;
}

}  // namespace

TEST(UpgradeFrame, IdleFrameIsOneThenZerosThenFrameSumOfOneHundredAndTwoFiftySix) {
  CBuffer frame = Dirty();
  CUpgradeFrameBuilder::BuildIdle(frame);
  CBuffer expected{};
  expected[0] = 0x01;
  expected[558] = 0x01;  // frame sum 0x0100: header check 0 and line checks 0 before it
  EXPECT_EQ(frame, expected);
}

TEST(UpgradeFrame, DataFrameWithTwoBytesMatchesWorkedExample) {
  const CUpgradeFrameBuilder builder({0x01, 0x02, 0x03});
  CBuffer frame = Dirty();
  const std::vector<std::uint8_t> chunk{0xAA, 0xBB};
  builder.BuildData(frame, {0x10, 0x20}, 0, chunk);

  CBuffer expected{};
  const std::uint8_t header[] = {0x01, 0x01, 0x02, 0x03, 0x10, 0x20, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00};
  std::copy(std::begin(header), std::end(header), expected.begin());
  expected[12] = 0xAA;
  expected[13] = 0xBB;
  expected[524] = 0x38;  // header check
  expected[525] = 0x65;  // line check 0; lines 1 to 31 are 0
  expected[557] = 0x9D;  // frame sum
  expected[558] = 0x02;
  EXPECT_EQ(frame, expected);
}

TEST(UpgradeFrame, FullChunkFillsEveryLineAndWrapsTheFrameSum) {
  const CUpgradeFrameBuilder builder({0x01, 0x02, 0x03});
  CBuffer frame = Dirty();
  const std::vector<std::uint8_t> chunk(512, 0xFF);
  builder.BuildData(frame, {0x10, 0x20}, 0x200, chunk);

  EXPECT_EQ(frame[6], 0x00);  // chunk offset 0x200, low byte first
  EXPECT_EQ(frame[7], 0x02);
  EXPECT_EQ(frame[10], 0x00);  // chunk length 512
  EXPECT_EQ(frame[11], 0x02);
  EXPECT_EQ(frame[523], 0xFF);  // last payload byte
  EXPECT_EQ(frame[524], 0x3A);
  for (std::size_t line = 0; line < 32; ++line) EXPECT_EQ(frame[525 + line], 0xF0) << "line " << line;
  // S = 59 + 512 * 255 = 130619, which is 65083 modulo 65536; plus 255 gives 0xFF3A.
  EXPECT_EQ(frame[557], 0x3A);
  EXPECT_EQ(frame[558], 0xFF);
  for (std::size_t i = 559; i < frame.size(); ++i) EXPECT_EQ(frame[i], 0) << "byte " << i;
}

TEST(UpgradeFrame, ShortChunkLeavesTheRestOfThePayloadZero) {
  const CUpgradeFrameBuilder builder({0x01, 0x02, 0x03});
  CBuffer frame = Dirty();
  const std::vector<std::uint8_t> chunk(17, 0x01);  // line 0 full, one byte into line 1
  builder.BuildData(frame, {0x10, 0x20}, 0x01020304, chunk);

  EXPECT_EQ(frame[6], 0x04);
  EXPECT_EQ(frame[9], 0x01);
  EXPECT_EQ(frame[10], 17);
  EXPECT_EQ(frame[28], 0x01);
  for (std::size_t i = 29; i < 524; ++i) ASSERT_EQ(frame[i], 0) << "byte " << i;
  EXPECT_EQ(frame[525], 16);
  EXPECT_EQ(frame[526], 1);
  for (std::size_t i = 527; i < 557; ++i) EXPECT_EQ(frame[i], 0) << "byte " << i;
}

TEST(UpgradeFrame, BlockEndFrameCarriesOnlyTheLow24BitsOfTheBlockLength) {
  const CUpgradeFrameBuilder builder({0x01, 0x02, 0x03});
  CBuffer frame = Dirty();
  builder.BuildBlockEnd(frame, {0x10, 0x20}, 0x12345678, 0xA1B2C3D4);

  CBuffer expected{};
  const std::uint8_t header[] = {0x01, 0x01, 0x02, 0x03, 0x10, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
  std::copy(std::begin(header), std::end(header), expected.begin());
  expected[516] = 0x78;  // block length, bits 0 to 23; the 0x12 is dropped
  expected[517] = 0x56;
  expected[518] = 0x34;
  expected[519] = 0xD4;  // block word
  expected[520] = 0xC3;
  expected[521] = 0xB2;
  expected[522] = 0xA1;
  expected[523] = 0x20;  // block tag's second byte
  expected[524] = 0x32;  // header check
  expected[556] = 0x0C;  // line check 31 covers bytes 508 to 523
  expected[557] = 0x3E;
  expected[558] = 0x09;
  EXPECT_EQ(frame, expected);
}

TEST(UpgradeFrame, PagesSplitTheBufferIntoFourTransmitPages) {
  CBuffer frame{};
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i / 142 + 1);
  for (std::size_t page = 0; page < 4; ++page) {
    const auto bytes = CUpgradeFrameBuilder::Page(frame, page);
    EXPECT_EQ(bytes.data(), frame.data() + 142 * page);
    EXPECT_EQ(bytes.front(), page + 1);
    EXPECT_EQ(bytes.back(), page + 1);
  }
}
