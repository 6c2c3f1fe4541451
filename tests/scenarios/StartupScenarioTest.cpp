// The start-up paths of the whole program, run as a user would start it.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

TEST(StartupScenario, EachInterfacePathEndsAsTheUserExpects) {
  for (const auto& [script, interfaceName] : {std::pair{"startup-virtual.vxs", "virtual"},
                                               std::pair{"startup-second-model.vxs", "virtual:0x0101"},
                                               std::pair{"startup-none.vxs", "none"}}) {
    const CScenarioRun run = RunScenario(script, interfaceName);
    EXPECT_EQ(run.exitCode, 0) << script << ": " << run.errors;
    EXPECT_TRUE(std::filesystem::exists(run.capture));  // and empty: each script expects no frame
  }
}

TEST(StartupScenario, TheChooserFirstSaysWhyANameDoesNotAnswerThenTheVirtualLineRunsTheConsole) {
  const CScenarioRun run = RunScenario("chooser.vxs", "none", "--choose-interface");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  if (HaveTshark()) {
    EXPECT_EQ(CountStartCode(DecodeCapture(run.capture), 0), 4u);
  }
}

TEST(StartupScenario, AFailingExpectationIsToldWithItsLineAndExitStatus1) {
  const CScenarioRun failed = RunScenario("startup-none.vxs", "virtual");
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_NE(failed.errors.find("startup-none.vxs:2: expected message box"), std::string::npos) << failed.errors;
}

TEST(CommandLine, MistakesGetOneLineAndExitStatus2) {
  struct CCase {
    const char* args;
    const char* message;
    const char* environment = "";
  };
  for (const auto& c : {CCase{"--bogus", "vexmira: unknown option '--bogus' (see --help)\n"},
                        CCase{"--interface", "vexmira: --interface needs an argument\n"},
                        CCase{"--script", "vexmira: --script needs an argument\n"},
                        CCase{"--realtime", "vexmira: --realtime goes with --script\n"},
                        CCase{"--script a.vxs --interface virtual --script b.vxs", "vexmira: --script is given twice\n"},
                        // What the user typed comes back escaped: it cannot drive the terminal.
                        CCase{"--interface \"$(printf '\\033[2J')\"", "vexmira: Unknown interface \"\\x1b[2J\""},
                        // A display that names no server; the interface's mistake is told first.
                        CCase{"--interface virtual", "vexmira: no display to show windows on",
                              "env -u QT_QPA_PLATFORM DISPLAY=:97 WAYLAND_DISPLAY=vexmira-none "},
                        CCase{"--interface nowhere", "vexmira: Unknown interface \"nowhere\"",
                              "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "}}) {
    const std::string command = c.environment + std::string(VEXMIRA_BIN) + " " + c.args + " 2>&1 >/dev/null";
    int status = -1;
    const std::string output = RunShell(command, &status);
    EXPECT_EQ(status, 2) << c.args;
    EXPECT_EQ(output.rfind(c.message, 0), 0u) << c.args << ": " << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << c.args;
  }
}
