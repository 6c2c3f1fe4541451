// The DMX console and its chase panel run from the launcher as a user would; captures decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

const char* const kChaseFile = "/tmp/vexmira-chase-scenario.zkc";

using CLit = std::map<int, int>;

// The slots of a frame that are not 0, by slot number.
CLit LitSlots(const CDecodedFrame& frame) {
  CLit lit;
  for (std::size_t i = 0; i < frame.slots.size(); ++i)
    if (frame.slots[i] != 0) lit[static_cast<int>(i) + 1] = frame.slots[i];
  return lit;
}

int Slot(const CDecodedFrame& frame, int slot) { return frame.slots.at(static_cast<std::size_t>(slot - 1)); }

// Every frame is a level frame of 512 slots, 25 ms after the one before, the first 25 ms after
// the program started, except where `gaps` says how many ticks went by without a frame.
void ExpectLevelFramesEvery25Ms(const std::vector<CDecodedFrame>& frames, const std::map<std::size_t, int>& gaps = {}) {
  int ticks = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ticks += 1 + (gaps.contains(i) ? gaps.at(i) : 0);
    EXPECT_EQ(frames[i].startCode, 0) << "frame " << i;
    EXPECT_EQ(frames[i].slots.size(), 512u) << "frame " << i;
    EXPECT_NEAR(frames[i].time, 0.025 * ticks, 1e-6) << "frame " << i;
  }
}

// A crossfade over frames [first, last]: `falling` goes from `from` to 0 and `rising` from 0 to
// `to`, each tick by the same amount or one more, reaching the end on the last frame only.
void ExpectCrossfade(const std::vector<CDecodedFrame>& frames, std::size_t first, std::size_t last, int falling,
                     int from, int rising, int to) {
  const int ticks = static_cast<int>(last - first + 1);
  int down = from;
  int up = 0;
  for (std::size_t i = first; i <= last; ++i) {
    const int fell = down - Slot(frames[i], falling);
    const int rose = Slot(frames[i], rising) - up;
    EXPECT_GE(fell, from / ticks) << "frame " << i;
    EXPECT_LE(fell, from / ticks + 1) << "frame " << i;
    EXPECT_GE(rose, to / ticks) << "frame " << i;
    EXPECT_LE(rose, to / ticks + 1) << "frame " << i;
    down = Slot(frames[i], falling);
    up = Slot(frames[i], rising);
    if (i < last) {
      EXPECT_GT(down, 0) << "frame " << i;
      EXPECT_LT(up, to) << "frame " << i;
    }
  }
  EXPECT_EQ(LitSlots(frames[last]), (CLit{{rising, to}})) << "frame " << last;
}

void ExpectSteady(const std::vector<CDecodedFrame>& frames, std::size_t first, std::size_t last, const CLit& lit) {
  for (std::size_t i = first; i <= last; ++i) EXPECT_EQ(LitSlots(frames[i]), lit) << "frame " << i;
}

}  // namespace

TEST(ConsoleScenario, FadersCleanAndStandAloneOnTheLine) {
  const CScenarioRun run = RunScenario("console.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const std::vector<CDecodedFrame> frames = DecodeCapture(run.capture);
  std::filesystem::remove(run.capture);

  ASSERT_EQ(frames.size(), 10u);
  // Standing alone, four ticks went by without a frame.
  ExpectLevelFramesEvery25Ms(frames, {{9, 4}});
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(LitSlots(frames[i]), CLit{}) << i;
  EXPECT_EQ(LitSlots(frames[4]), (CLit{{1, 255}, {2, 128}}));
  EXPECT_EQ(LitSlots(frames[5]), (CLit{{1, 255}, {2, 128}, {201, 200}}));
  EXPECT_EQ(LitSlots(frames[6]), (CLit{{1, 255}, {2, 128}, {201, 200}, {512, 255}}));
  EXPECT_EQ(LitSlots(frames[7]), CLit{});
  EXPECT_EQ(LitSlots(frames[8]), (CLit{{481, 50}}));
  EXPECT_EQ(LitSlots(frames[9]), (CLit{{481, 50}}));
}

TEST(ConsoleScenario, ChaseRecordedRunSavedAndOpenedAgain) {
  std::filesystem::remove(kChaseFile);
  const CScenarioRun run = RunScenario("chase.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;

  std::ifstream file(kChaseFile, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  file.close();
  std::filesystem::remove(kChaseFile);
  ASSERT_EQ(bytes.size(), 36u + 3u * 142u);
  EXPECT_EQ(std::string(bytes.data(), 30), "Zelkar Lighting Chase File 1.0");
  EXPECT_EQ(bytes[31], 3);
  EXPECT_EQ(bytes[32], 9);
  EXPECT_EQ(bytes[34], 5);
  EXPECT_EQ(static_cast<unsigned char>(bytes[36]), 255);
  EXPECT_EQ(static_cast<unsigned char>(bytes[36 + 142 + 1]), 255);
  EXPECT_EQ(static_cast<unsigned char>(bytes[36 + 284 + 2]), 100);

  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const std::vector<CDecodedFrame> frames = DecodeCapture(run.capture);
  std::filesystem::remove(run.capture);

  // One frame before the run, 143 ticks of the first run; then 80 ticks of the second console's
  // run and one after its Stop.
  ASSERT_EQ(frames.size(), 1u + 143u + 81u);
  ExpectLevelFramesEvery25Ms(frames);
  EXPECT_EQ(LitSlots(frames[0]), (CLit{{3, 100}}));

  // Tick r of the first run is frame r. Step 1 holds 41 ticks; each step change fades over 20.
  ExpectSteady(frames, 1, 41, {{1, 255}});
  ExpectCrossfade(frames, 42, 61, 1, 255, 2, 255);
  ExpectSteady(frames, 62, 82, {{2, 255}});
  ExpectCrossfade(frames, 83, 102, 2, 255, 3, 100);
  ExpectSteady(frames, 103, 123, {{3, 100}});
  ExpectCrossfade(frames, 124, 143, 3, 100, 1, 255);

  // The second console opened the file and ran it from step 1 for 80 ticks, then stopped on step 2.
  const std::size_t second = 144;
  ExpectSteady(frames, second, second + 40, {{1, 255}});
  ExpectCrossfade(frames, second + 41, second + 60, 1, 255, 2, 255);
  ExpectSteady(frames, second + 61, second + 80, {{2, 255}});
}
