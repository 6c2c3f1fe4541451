// Both addressing tools run from the launcher as a user would, their captures decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>


namespace {

// The decoded frames of a scenario that ran to its end.
std::vector<CDecodedFrame> RunAndDecode(const std::string& script) {
  const CScenarioRun run = RunScenario(script, "virtual");
  EXPECT_EQ(run.exitCode, 0) << script << ": " << run.errors;
  return DecodeCapture(run.capture);
}

void ExpectSpacing(const std::vector<CDecodedFrame>& frames, double seconds) {
  for (std::size_t i = 1; i < frames.size(); ++i) EXPECT_NEAR(frames[i].time - frames[i - 1].time, seconds, 1e-6) << i;
}

}  // namespace

TEST(AddressingScenario, AutoSetupSends255FirstAddressFrames50MsApart) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const auto frames = RunAndDecode("auto-address.vxs");
  ASSERT_EQ(frames.size(), 255u);
  EXPECT_EQ(CountStartCode(frames, 0xFC), 255u);
  for (const auto& frame : frames) EXPECT_EQ(frame.slots, (std::vector<std::uint8_t>{1, 0}));
  ExpectSpacing(frames, 0.050);
}

TEST(AddressingScenario, ManualSetupWaitsThenFlagsAndAddressesFixtures25MsApart) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const auto frames = RunAndDecode("manual-address.vxs");
  ASSERT_EQ(frames.size(), 203u);
  EXPECT_EQ(CountStartCode(frames, 0xFE), 199u);
  for (std::size_t i = 0; i < 199; ++i) EXPECT_EQ(frames[i].slots, std::vector<std::uint8_t>(512, 0)) << i;
  // Fixture 1 flagged, then fixture 2 with address 300 saved (slots 4 and 5), then fixture 170 flagged.
  EXPECT_EQ(CountStartCode(frames, 0xFD), 4u);
  EXPECT_EQ((std::vector<int>{frames[199].slots[2], frames[201].slots[3], frames[201].slots[4], frames[202].slots[509]}),
            (std::vector<int>{255, 1, 44, 255}));
  ExpectSpacing(frames, 0.025);
}
