// Remote fixture setup run from the launcher; its frames read back from the capture by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(FixtureScenario, PanelWaitsThenSendsColourFadeSpeedAndAddressCommands) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const std::vector<CDecodedFrame> frames = RunAndDecode("fixture-panel.vxs");

  // 5 s of zero frames with start code 0xFE, then a setting frame on every tick until closing.
  ASSERT_EQ(frames.size(), 231u);
  EXPECT_EQ(CountStartCode(frames, 0xFE), 199u);
  EXPECT_EQ(CountStartCode(frames, 0xF6), 32u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i].slots.size(), 512u) << i;
    EXPECT_NEAR(frames[i].time, 0.025 * static_cast<double>(i), 1e-6) << i;
  }
  EXPECT_EQ(frames[198].slots, std::vector<std::uint8_t>(512, 0));

  // The last worked frame: fixture 12 given address 300.
  const std::vector<std::uint8_t> address{11, 71, 0, 12, 0, 12, 0, 1, 0, 1, 1, 44, 0};
  EXPECT_TRUE(std::ranges::any_of(
      frames, [&](const CDecodedFrame& f) { return std::equal(address.begin(), address.end(), f.slots.begin()); }));
}
