// Start-up's interface check and the launcher's wiring, seen through the script host and the line
// (the startup scenarios run the same paths through the real program).
#include "app/Application.h"
#include "app/LauncherDlg.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

namespace {

CScriptRun RunProgram(const std::string& script, const std::string& interfaceName = "virtual") {
  return RunScript(script, [](CDmxLink& link) { CApplication(link).InitInstance(); }, interfaceName);
}

}  // namespace

TEST(Startup, TheFirstIdentifierPairIsTriedFirstAndTheSecondOnlyWhenItDoesNotAnswer) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"virtual", {"Open(34952, 258)"}},
      {"virtual:0x0101", {"Open(34952, 258)", "Open(34952, 257)"}},
      {"none", {"Open(34952, 258)", "Open(34952, 257)"}}};
  for (const auto& [interfaceName, opens] : cases) {
    const bool answers = std::string(interfaceName) != "none";
    const char* script =
        answers ? "expect dialog 102\n" : "expect message \"Cound not find USB to DMX device  \" error\n";
    const CScriptRun run = RunProgram(script, interfaceName);
    EXPECT_TRUE(run.Passed()) << interfaceName << ": " << run.result.message;
    EXPECT_EQ(Describe(run.calls), opens) << interfaceName;  // nothing else is called
  }
}

TEST(LauncherDlg, AboutItemAnswersSystemCommands16To31AndTheConsoleRunsInLevelModeThenStandsBy) {
  for (const int command : {15, 16, 31, 32}) {
    const bool about = command >= 16 && command <= 31;
    const CScriptRun run = RunProgram("sysmenu " + std::to_string(command) + "\nexpect dialog " +
                                      (about ? "100\nclick 1\n" : "102\n"));
    EXPECT_TRUE(run.Passed()) << command << ": " << run.result.message;
  }
  const CScriptRun console = RunProgram("click " + std::to_string(CLauncherDlg::kConsoleButton) + "\nexpect dialog 129\n");
  ASSERT_TRUE(console.Passed()) << console.result.message;
  const auto calls = Describe(console.calls);
  EXPECT_EQ(calls.at(1), "SetMode(165, 0, 0, 512)");
  EXPECT_EQ(calls.back(), "StandBy()");
}
