// The start-up paths of the whole program, run as a user would start it.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(StartupScenario, EachInterfacePathEndsAsTheUserExpects) {
  for (const auto& [script, interfaceName] : {std::pair{"startup-virtual.vxs", "virtual"},
                                               std::pair{"startup-second-model.vxs", "virtual:0x0101"},
                                               std::pair{"startup-none.vxs", "none"}}) {
    const CScenarioRun run = RunScenario(script, interfaceName);
    EXPECT_EQ(run.exitCode, 0) << script << ": " << run.errors;
    EXPECT_TRUE(std::filesystem::exists(run.capture));
    if (HaveTshark()) EXPECT_TRUE(DecodeCapture(run.capture).empty()) << script;
    std::filesystem::remove(run.capture);
  }
}

TEST(StartupScenario, FailingExpectationAndUnreadableScriptGiveTheirExitStatus) {
  const CScenarioRun failed = RunScenario("startup-none.vxs", "virtual");
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_NE(failed.errors.find("startup-none.vxs:2: expected message box"), std::string::npos) << failed.errors;
  std::filesystem::remove(failed.capture);

  const CScenarioRun missing = RunScenario("no-such-script.vxs", "virtual");
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.errors.find("no-such-script.vxs: cannot be read"), std::string::npos) << missing.errors;
}
