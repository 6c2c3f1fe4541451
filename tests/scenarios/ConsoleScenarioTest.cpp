// The DMX console and its chase panel run from the launcher as a user would; the capture decoded by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

TEST(ConsoleScenario, FadersCleanStandAloneAndAChaseRecordedRunSavedAndOpenedAgain) {
  const CScenarioRun run = RunScenario("console.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;

  EXPECT_EQ(std::filesystem::file_size(*run.folder / "show.zkc"), 36u + 3u * 142u);  // saved beside the script
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
}

TEST(ConsoleScenario, OpenAsksOverUnsavedStepsAndANewConsoleShowsAndSavesTheSettingsTheChaseKept) {
  const CScenarioRun run = RunScenario("chase-open.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const std::string saved = ReadFile(*run.folder / "again.zkc");
  ASSERT_EQ(saved.size(), 36u + 142u);
  EXPECT_EQ(saved.substr(32, 4), std::string("\x09\x00\x05\x00", 4));  // speed 9 and fade 5, as shown
}

TEST(KeyboardScenario, EnterClosesNoToolAndTheKeysWorkTheFocusedControl) {
  const CScenarioRun run = RunScenario("keys.vxs", "virtual");
  EXPECT_EQ(run.exitCode, 0) << run.errors;
}
