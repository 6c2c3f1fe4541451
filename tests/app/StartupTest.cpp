// Start-up's interface check and the launcher's wiring, seen through the script host and the line.
#include "app/Application.h"
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

// The console's level mode and the stand-by after it are on the line in console.vxs and the Pro widget scenario.
TEST(LauncherDlg, AboutItemAnswersSystemCommands16To31) {
  for (const int command : {15, 16, 31, 32}) {
    const bool about = command >= 16 && command <= 31;
    const CScriptRun run = RunProgram("sysmenu " + std::to_string(command) + "\nexpect dialog " +
                                      (about ? "100\nclick 1\n" : "102\n"));
    EXPECT_TRUE(run.Passed()) << command << ": " << run.result.message;
  }
}
