// Both addressing tools run from the launcher as a user would, their captures decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The decoded frames of a scenario that ran to its end.
std::vector<CDecodedFrame> RunAndDecode(const std::string& script) {
  const CScenarioRun run = RunScenario(script, "virtual");
  EXPECT_EQ(run.exitCode, 0) << script << ": " << run.errors;
  std::vector<CDecodedFrame> frames = DecodeCapture(run.capture);
  return frames;
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
  for (std::size_t i = 199; i < 203; ++i) ASSERT_EQ(frames[i].slots.size(), 512u) << i;
  // Fixture 1 flagged, then fixture 2 with address 300 saved, then fixture 170.
  EXPECT_EQ(frames[199].startCode, 0xFD);
  EXPECT_EQ(frames[199].slots[2], 255);
  EXPECT_EQ(std::vector<int>(frames[201].slots.begin(), frames[201].slots.begin() + 6), (std::vector<int>{0, 0, 0, 1, 44, 255}));
  EXPECT_EQ((std::vector<int>{frames[202].slots[5], frames[202].slots[509], frames[202].slots[511]}), (std::vector<int>{0, 255, 0}));
  ExpectSpacing(frames, 0.025);
}
