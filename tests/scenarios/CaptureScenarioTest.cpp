// The capture as a user meets it: failures are told and make a script fail; nothing is emptied early.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct CRun {
  int status = -1;
  std::string errors;
};

// Runs a shell command line whose stderr goes to the file `errors`.
CRun Shell(const std::string& command, const std::string& errors) {
  CRun run;
  RunShell(command, &run.status);
  run.errors = ReadText(errors);
  return run;
}

}  // namespace

TEST(CaptureScenario, FailuresAreToldAndNothingIsEmptiedBeforeTheRunIsKnownToBeValid) {
  const CTempFolder folder;
  const std::string vexmira = std::string(VEXMIRA_BIN) + " --interface virtual ";
  const std::string errors = folder / "errors";
  const std::string console = folder / "console.vxs";
  std::ofstream(console) << "click 1000\nwait 10000\nclose\n";

  // A capture that cannot be written: the run still ends, exit 1, the reason last.
  CRun full = Shell(vexmira + "--script '" + console + "' --capture /dev/full 2>'" + errors + "'", errors);
  EXPECT_EQ(full.status, 1);
  EXPECT_NE(full.errors.find("\"/dev/full\" could not be written: No space left on device"), std::string::npos)
      << full.errors;
  EXPECT_EQ(full.errors.find('\n'), full.errors.size() - 1) << "one line: " << full.errors;

  // A reader that goes away is the same kind of failure, not a death by SIGPIPE.
  CRun pipe = Shell("bash -c '" + vexmira + "--script \"" + console + "\" --capture /dev/stdout 2>\"" + errors +
                        "\" | head -c 100 >/dev/null; exit ${PIPESTATUS[0]}'",
                    errors);
  EXPECT_EQ(pipe.status, 1) << pipe.errors;
  EXPECT_NE(pipe.errors.find("Broken pipe"), std::string::npos) << pipe.errors;

  // A script that cannot be read, or one that is also the capture, leaves the files alone.
  const std::string kept = folder / "kept.pcap";
  std::ofstream(kept) << "earlier capture";
  for (const std::string& script : {(folder / "missing.vxs").string(), folder.Path().string(), kept}) {
    const CRun refused = Shell(vexmira + "--script '" + script + "' --capture '" + kept + "' 2>'" + errors + "'", errors);
    EXPECT_EQ(refused.status, 2) << script << ": " << refused.errors;
    EXPECT_EQ(ReadText(kept), "earlier capture") << script;
  }
}
