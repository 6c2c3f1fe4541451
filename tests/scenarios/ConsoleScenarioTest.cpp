// The DMX console and its chase panel run from the launcher as a user would; the capture decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

// The slots of a frame that are not 0, by slot number.
std::map<int, int> Lit(const CDecodedFrame& frame) {
  std::map<int, int> lit;
  for (std::size_t i = 0; i < frame.slots.size(); ++i)
    if (frame.slots[i] != 0) lit[static_cast<int>(i) + 1] = frame.slots[i];
  return lit;
}

}  // namespace

TEST(ConsoleScenario, FadersCleanStandAloneAndAChaseRecordedRunSavedAndOpenedAgain) {
  const CScenarioRun run = RunScenario("console.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;

  // The saved chase: header, 3 steps, speed 9 and fade 5 (little-endian), then the steps.
  std::ifstream file(*run.folder / "show.zkc", std::ios::binary);  // saved beside the script
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_EQ(bytes.size(), 36u + 3u * 142u);
  EXPECT_EQ(bytes.substr(0, 36), std::string("Zelkar Lighting Chase File 1.0\0\3\x09\0\x05\0", 36));
  EXPECT_EQ(bytes[36] + bytes[36 + 142 + 1] + bytes[36 + 284 + 2], char(255) + char(255) + 100);

  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const std::vector<CDecodedFrame> frames = DecodeCapture(run.capture);
  // 71 ticks of the first console (none while it stood alone for 4), 45 of the second.
  ASSERT_EQ(frames.size(), 71u + 45u);
  // Stamped with today's date: script time starts at the real start time.
  EXPECT_NEAR(static_cast<double>(frames[0].epochUs) / 1e6, static_cast<double>(std::time(nullptr)), 600.0);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].startCode, 0) << i;
    EXPECT_EQ(frames[i].slots.size(), 512u) << i;
    EXPECT_NEAR(frames[i].time - frames[0].time, 0.025 * static_cast<double>(i + (i >= 8 ? 4 : 0)), 1e-6) << i;
  }
  const std::map<std::size_t, std::map<int, int>> expected = {
      {4, {{1, 255}, {2, 128}}}, {5, {{1, 255}, {2, 128}, {201, 200}}}, {7, {}}, {8, {{481, 50}}}, {9, {{3, 100}}},
      {10, {{1, 255}}},   // the run's first tick: step 1 at once
      {50, {{1, 255}}},   // its 41st, still step 1
      {60, {{1, 128}, {2, 128}}},  // half way through the fade to step 2
      {70, {{2, 255}}},   // the fade's 20th tick; stopped
      {71, {{1, 255}}},   // the second console opened the file and runs it
      {115, {{2, 255}}},  // stopped on step 2
  };
  for (const auto& [index, lit] : expected) EXPECT_EQ(Lit(frames.at(index)), lit) << "frame " << index;
}
