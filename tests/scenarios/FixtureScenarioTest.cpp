// Remote fixture setup run from the launcher; its frames read back from the capture by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// Slots 1 to L + 2 of a setting frame.
std::vector<int> Payload(const CDecodedFrame& frame) {
  return {frame.slots.begin(), frame.slots.begin() + std::min<std::ptrdiff_t>(frame.slots[0] + 2, 512)};
}

}  // namespace

TEST(FixtureScenario, PanelWaitsThenSendsColourFadeSpeedAndAddressCommands) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const CScenarioRun run = RunScenario("fixture-panel.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const std::vector<CDecodedFrame> frames = DecodeCapture(run.capture);

  // 5 s of zero frames with start code 0xFE, then a setting frame with a valid checksum on every tick until closing.
  ASSERT_EQ(frames.size(), 231u);
  EXPECT_EQ(CountStartCode(frames, 0xFE), 199u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i].slots.size(), 512u) << i;
    if (i > 0) {
      EXPECT_NEAR(frames[i].time - frames[i - 1].time, 0.025, 1e-6) << i;
    }
    if (i < 199) {
      EXPECT_EQ(frames[i].slots, std::vector<std::uint8_t>(512, 0)) << i;
      continue;
    }
    const std::vector<int> payload = Payload(frames[i]);
    int sum = 0;
    for (std::size_t slot = 2; slot < payload.size(); ++slot) sum += payload[slot];
    EXPECT_EQ(payload[1], sum % 256) << i;
    EXPECT_TRUE(std::all_of(frames[i].slots.begin() + 17, frames[i].slots.end(), [](int v) { return v == 0; })) << i;
  }
  EXPECT_EQ(Payload(frames[199]), (std::vector<int>{11, 6, 0, 1, 0, 1, 0, 2, 0, 1, 0, 1, 0}));

  // The three worked frames, in the order the script sets them up.
  auto at = frames.begin();
  for (const std::vector<int>& worked : std::vector<std::vector<int>>{
           {15, 101, 0, 3, 0, 3, 0, 0, 0, 5, 200, 100, 50, 255, 255, 255, 255},
           {9, 75, 0, 7, 0, 7, 0, 0, 0, 6, 55},
           {11, 71, 0, 12, 0, 12, 0, 1, 0, 1, 1, 44, 0}}) {
    at = std::find_if(at, frames.end(), [&](const CDecodedFrame& frame) { return frame.startCode == 0xF6 && Payload(frame) == worked; });
    EXPECT_NE(at, frames.end()) << worked[9];
  }
}
