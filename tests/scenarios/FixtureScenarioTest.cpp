// Remote fixture setup run from the launcher; its frames read back from the capture by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>


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
}
