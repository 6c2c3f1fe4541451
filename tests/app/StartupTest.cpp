// Start-up paths, the launcher and the about box, seen through the script host and the line.
#include "app/ZelkarLightingDMXTesterApp.h"
#include "framework/Resources.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

namespace {

CScriptRun RunProgram(const std::string& script, const std::string& interfaceName) {
  return RunScript(script, [](CDmxLink& link) { CZelkarLightingDMXTesterApp(link).InitInstance(); }, interfaceName);
}

}  // namespace

TEST(Startup, FirstInterfaceThatAnswersOpensTheLauncher) {
  const CScriptRun run = RunProgram(
      "expect dialog 102\n"
      "expect title \"Vexmira V2.0\"\n"
      "expect text 1000 \"DMX Console\"\n"
      "expect text 1001 \"Remote DMX addressing\"\n"
      "expect text 1002 \"Remote fixture setup\"\n"
      "expect text 1003 \"Fixture Firmware Upgrade\"\n"
      "expect focus 1000\n"
      "expect no-message\n",
      "virtual");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  // The first pair answers, so the second is never tried.
  EXPECT_EQ(Describe(CallsOf(run.calls, ELinkCall::Open)), std::vector<std::string>{"Open(34952, 258)"});
  EXPECT_TRUE(run.frames.empty());
}

TEST(Startup, SecondIdentifierPairIsTriedWhenTheFirstDoesNotAnswer) {
  const CScriptRun run = RunProgram("expect dialog 102\n", "virtual:0x0101");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Describe(CallsOf(run.calls, ELinkCall::Open)),
            (std::vector<std::string>{"Open(34952, 258)", "Open(34952, 257)"}));
}

TEST(Startup, NoInterfaceShowsTheErrorAndNoWindow) {
  const CScriptRun run = RunProgram(
      "expect message \"Cound not find USB to DMX device  \" error\n"
      "expect no-message\n"
      "expect frames 0\n"
      "wait 100\n",
      "none");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, "Vexmira");
  EXPECT_EQ(run.boxes[0].icon, EMessageIcon::Error);
  EXPECT_EQ(run.boxes[0].ownerResourceId, 0);
  EXPECT_EQ(run.calls.size(), 2u);  // the two opens, nothing else

  // No launcher: a command meant for it fails, as no window is open.
  const CScriptRun clicked = RunProgram("click 1000\n", "none");
  EXPECT_EQ(clicked.result.message, "script:1: no dialog is open for 'click'");
}

TEST(Launcher, AboutItemAnswersSystemCommands16To31Only) {
  for (const int command : {16, 31}) {
    const CScriptRun run = RunProgram("sysmenu " + std::to_string(command) +
                                          "\n"
                                          "expect dialog 100\n"
                                          "expect title \"关于 Vexmira\"\n"
                                          "click 1\n"
                                          "expect dialog 102\n",
                                      "virtual");
    EXPECT_TRUE(run.Passed()) << command << ": " << run.result.message;
  }
  for (const int command : {15, 32}) {
    const CScriptRun run = RunProgram("sysmenu " + std::to_string(command) + "\nexpect dialog 102\n", "virtual");
    EXPECT_TRUE(run.Passed()) << command << ": " << run.result.message;
  }
}

TEST(Launcher, CarriesTheAboutItemAndTheProgramIconOnEveryDialog) {
  const CScriptRun run = RunProgram(
      "expect icon 139\n"
      "expect menu 16 \"关于 Vexmira Ver1.0(&A)...\"\n"
      "sysmenu 16\n"
      "expect icon 139\n"
      "expect text 1 \"Ok\"\n"
      "expect focus 1\n"
      "close\n"
      "expect dialog 102\n",
      "virtual");
  EXPECT_TRUE(run.Passed()) << run.result.message;
}

TEST(Launcher, DmxConsoleButtonSetsLevelModeBeforeAndStandByAfter) {
  const CScriptRun run = RunProgram("click 1000\n", "virtual");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  const auto calls = Describe(run.calls);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[1], "SetMode(165, 0, 0, 512)");
  EXPECT_EQ(calls.back(), "StandBy()");
}
