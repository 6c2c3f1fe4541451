// The firmware upgrade end to end: every 0xF9 frame of the capture checked as a receiver would.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

// The check bytes a fixture verifies: header check, 32 line checks, frame sum.
::testing::AssertionResult ChecksHold(const std::vector<std::uint8_t>& f) {
  if (f.size() != 559) return ::testing::AssertionFailure() << "frame of " << f.size() << " slots";
  unsigned header = 0, sum = 0;
  for (int i = 0; i < 12; ++i) header += f[i];
  for (int i = 0; i < 524; ++i) sum += f[i];
  if (f[524] != static_cast<std::uint8_t>(header - 1)) return ::testing::AssertionFailure() << "header check";
  for (int line = 0; line < 32; ++line) {
    unsigned lineSum = 0;
    for (int i = 12 + 16 * line; i < 28 + 16 * line; ++i) lineSum += f[i];
    if (f[525 + line] != static_cast<std::uint8_t>(lineSum)) return ::testing::AssertionFailure() << "line " << line;
  }
  const unsigned frameSum = (sum + 255) & 0xFFFF;
  if (f[557] != (frameSum & 0xFF) || f[558] != (frameSum >> 8)) return ::testing::AssertionFailure() << "frame sum";
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(FirmwareScenario, TwoBlocksGoOutHeldAndCheckedThenTheIdleFrameAgain) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const CScenarioRun run = RunScenario("firmware.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const auto frames = DecodeCapture(run.capture);
  std::filesystem::remove(run.capture);

  // Runs of identical frames, as the hold schedule puts them on the line.
  std::vector<std::pair<std::vector<std::uint8_t>, int>> runs;
  for (const auto& frame : frames) {
    ASSERT_EQ(frame.startCode, 0xF9);
    ASSERT_TRUE(ChecksHold(frame.slots));
    if (!runs.empty() && runs.back().first == frame.slots) ++runs.back().second;
    else runs.push_back({frame.slots, 1});
  }
  ASSERT_EQ(runs.size(), 7u);
  const std::vector<int> counts = {runs[0].second, runs[1].second, runs[2].second, runs[3].second,
                                   runs[4].second, runs[5].second};
  // idle until Upgrade, block 1: 512 bytes (82 times), 88 bytes (once), its end; block 2: its one
  // empty data frame (82 times), its end; then idle again.
  EXPECT_EQ(counts, (std::vector<int>{2, 82, 1, 1, 82, 1}));
  const auto& first = runs[1].first;
  EXPECT_EQ(std::vector<std::uint8_t>(first.begin(), first.begin() + 12),
            (std::vector<std::uint8_t>{0x01, 0x56, 0x4D, 0x31, 0x10, 0x01, 0, 0, 0, 0, 0x00, 0x02}));
  EXPECT_EQ(first[12], 3);                      // the first data byte
  EXPECT_EQ(runs[2].first[6], 0x00);            // chunk offset 512, low byte first
  EXPECT_EQ(runs[2].first[7], 0x02);
  EXPECT_EQ(runs[2].first[10], 88);             // the short last chunk
  EXPECT_EQ(runs[3].first[516], 600 & 0xFF);    // block end: length, word, tag byte
  EXPECT_EQ(runs[3].first[519], 0x0D);
  EXPECT_EQ(runs[3].first[523], 0x01);
  EXPECT_EQ(runs[4].first[10], 0);              // an empty block still sends one data frame
  EXPECT_EQ(runs[6].first[0], 1);               // idle frame
  EXPECT_EQ(runs[6].first[558], 1);

  // Frames go out on the 35 ms ticks; the quiet ticks after each change show as gaps.
  for (std::size_t i = 1; i < frames.size(); ++i) {
    const double gapMs = (frames[i].time - frames[i - 1].time) * 1000;
    const double ticks = gapMs / 35;
    EXPECT_NEAR(ticks, std::round(ticks), 1e-3) << i;
  }
}
