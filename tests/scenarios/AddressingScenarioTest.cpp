// Both addressing tools run from the launcher as a user would, their captures decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>

namespace {

// The decoded frames of a scenario that ran to its end; empty (and the test skipped) without tshark.
std::vector<CDecodedFrame> RunAndDecode(const std::string& script) {
  const CScenarioRun run = RunScenario(script, "virtual");
  EXPECT_EQ(run.exitCode, 0) << script << ": " << run.errors;
  std::vector<CDecodedFrame> frames;
  if (HaveTshark()) frames = DecodeCapture(run.capture);
  std::filesystem::remove(run.capture);
  return frames;
}

std::map<int, int> LitSlots(const CDecodedFrame& frame) {
  std::map<int, int> lit;
  for (std::size_t i = 0; i < frame.slots.size(); ++i)
    if (frame.slots[i] != 0) lit[static_cast<int>(i) + 1] = frame.slots[i];
  return lit;
}

// Every frame follows the one before by `seconds`, the first `seconds` after the program started.
void ExpectEvenSpacing(const std::vector<CDecodedFrame>& frames, double seconds) {
  for (std::size_t i = 0; i < frames.size(); ++i)
    EXPECT_NEAR(frames[i].time, seconds * static_cast<double>(i + 1), 1e-6) << "frame " << i;
}

}  // namespace

TEST(AddressingScenario, AutoSetupSends255FirstAddressFrames50MsApart) {
  const auto frames = RunAndDecode("auto-address.vxs");
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  ASSERT_EQ(frames.size(), 255u);
  EXPECT_EQ(CountStartCode(frames, 0xFC), 255u);
  for (const auto& frame : frames) EXPECT_EQ(frame.slots, (std::vector<std::uint8_t>{1, 0}));
  ExpectEvenSpacing(frames, 0.050);
}

TEST(AddressingScenario, ManualSetupWaitsThenFlagsAndAddressesFixtures25MsApart) {
  const auto frames = RunAndDecode("manual-address.vxs");
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  ASSERT_EQ(frames.size(), 203u);
  EXPECT_EQ(CountStartCode(frames, 0xFE), 199u);
  EXPECT_EQ(CountStartCode(frames, 0xFD), 4u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].startCode, i < 199 ? 0xFE : 0xFD) << i;
    EXPECT_EQ(frames[i].slots.size(), 512u) << i;
    if (i < 199) {
      EXPECT_TRUE(LitSlots(frames[i]).empty()) << i;
    }
  }
  EXPECT_EQ(LitSlots(frames[199]), (std::map<int, int>{{3, 255}}));
  EXPECT_EQ(LitSlots(frames[200]), (std::map<int, int>{{6, 255}}));
  EXPECT_EQ(LitSlots(frames[201]), (std::map<int, int>{{4, 1}, {5, 44}, {6, 255}}));
  EXPECT_EQ(LitSlots(frames[202]), (std::map<int, int>{{4, 1}, {5, 44}, {510, 255}}));
  ExpectEvenSpacing(frames, 0.025);
}
