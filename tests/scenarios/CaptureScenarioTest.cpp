// The capture as a user meets it: failures are told and make a script fail; nothing is emptied early.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(CaptureScenario, FailuresAreToldAndNothingIsEmptiedBeforeTheRunIsKnownToBeValid) {
  const CTempFolder folder;
  const std::string vexmira = std::string(VEXMIRA_BIN) + " --interface virtual ";
  const std::string console = folder / "console.vxs";
  std::ofstream(console) << "click 1000\nwait 10000\nclose\n";

  // What vexmira tells on stderr comes back as the output; its own stdout is dropped.
  int status = -1;
  // A capture that cannot be written: the run still ends, exit 1, the reason last.
  std::string errors = RunShell(vexmira + "--script '" + console + "' --capture /dev/full 2>&1 >/dev/null", &status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(errors.find("\"/dev/full\" could not be written: No space left on device"), std::string::npos) << errors;
  EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;

  // A reader that goes away is the same kind of failure, not a death by SIGPIPE.
  errors = RunShell("bash -c '" + vexmira + "--script \"" + console + "\" --capture /dev/stdout 2>&3 | head -c 100 "
                    ">/dev/null; exit ${PIPESTATUS[0]}' 3>&1", &status);
  EXPECT_EQ(status, 1) << errors;
  EXPECT_NE(errors.find("Broken pipe"), std::string::npos) << errors;

  // A script that cannot be read, or one that is also the capture, leaves the files alone.
  const std::string kept = folder / "kept.pcap";
  std::ofstream(kept) << "earlier capture";
  for (const std::string& script : {(folder / "missing.vxs").string(), folder.Path().string(), kept}) {
    errors = RunShell(vexmira + "--script '" + script + "' --capture '" + kept + "' 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 2) << script << ": " << errors;
    EXPECT_EQ(ReadText(kept), "earlier capture") << script;
  }
}
