// Both addressing tools run from the launcher as a user would, their captures decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

TEST(AddressingScenario, AutoSetupSends255FirstAddressFrames50MsApart) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const auto frames = RunAndDecode("auto-address.vxs");
  ASSERT_EQ(frames.size(), 255u);
  EXPECT_EQ(CountStartCode(frames, 0xFC), 255u);
  for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_NEAR(frames[i].time, 0.050 * double(i), 1e-6) << i;
}

TEST(AddressingScenario, ManualSetupWaitsThenFlagsAndAddressesFixtures25MsApart) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const auto frames = RunAndDecode("manual-address.vxs");
  ASSERT_EQ(frames.size(), 203u);
  EXPECT_EQ(CountStartCode(frames, 0xFE), 199u);
  for (std::size_t i = 0; i < 199; ++i) EXPECT_EQ(frames[i].slots, std::vector<std::uint8_t>(512, 0)) << i;
  EXPECT_EQ(CountStartCode(frames, 0xFD), 4u);  // fixture 1 flagged, fixture 2 saved, fixture 170 flagged
  for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_NEAR(frames[i].time, 0.025 * double(i), 1e-6) << i;
}
