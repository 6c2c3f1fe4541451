// The firmware upgrade end to end: the capture of a two-block transfer, decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The frames of a run as runs of identical frames (how often each went out in a row), all on the 35 ms ticks.
std::vector<int> Runs(const std::vector<CDecodedFrame>& frames, std::vector<std::vector<std::uint8_t>>& runs) {
  std::vector<int> counts;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].startCode, 0xF9);
    EXPECT_EQ(frames[i].slots.size(), 559u);
    const double ticks = i == 0 ? 0 : (frames[i].time - frames[i - 1].time) / 0.035;
    EXPECT_NEAR(ticks, std::round(ticks), 1e-3) << "frame " << i;
    if (runs.empty() || runs.back() != frames[i].slots) runs.push_back(frames[i].slots), counts.push_back(0);
    ++counts.back();
  }
  return counts;
}

}  // namespace

TEST(FirmwareScenario, TwoBlocksGoOutHeldAndCheckedThenTheIdleFrameAgain) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  std::vector<std::vector<std::uint8_t>> runs;
  // Idle until Upgrade; block 1: 512 bytes, the last 88, its end; block 2: its one empty data frame,
  // its end; idle again.
  ASSERT_EQ(Runs(RunAndDecode("firmware.vxs"), runs), (std::vector<int>{2, 82, 1, 1, 82, 1, 26}));

  // Enter, Upgrade answered No and a question the transfer's end withdrew change no frame of it.
  std::vector<std::vector<std::uint8_t>> asked;
  EXPECT_EQ(Runs(RunAndDecode("firmware-questions.vxs"), asked), (std::vector<int>{2, 82, 1, 1, 82, 1, 26}));
  EXPECT_EQ(asked, runs);
}
