// The capture as a user meets it: failures are told and make a script fail; nothing is emptied early.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

TEST(CaptureScenario, FailuresAreToldAndNothingIsEmptiedBeforeTheRunIsKnownToBeValid) {
  const CTempFolder folder;
  const std::string vexmira = std::string(VEXMIRA_BIN) + " --interface virtual ";
  const std::string console = folder / "console.vxs";
  std::ofstream(console) << "click 1000\nwait 10000\nclose\n";

  // A capture that cannot be written (a reader that goes away here, not a death by SIGPIPE): the
  // run still ends, exit 1, the reason told in one line. What vexmira tells on stderr comes back.
  int status = -1;
  std::string errors = RunShell("bash -c '" + vexmira + "--script \"" + console + "\" --capture /dev/stdout 2>&3 | "
                                "head -c 100 >/dev/null; exit ${PIPESTATUS[0]}' 3>&1", &status);
  EXPECT_EQ(status, 1) << errors;
  EXPECT_NE(errors.find("\"/dev/stdout\" could not be written: Broken pipe"), std::string::npos) << errors;
  EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;

  // A script that cannot be read, or one that is also the capture (by another hard link too),
  // leaves the files alone.
  const std::string kept = folder / "kept.pcap", link = folder / "link.pcap";
  std::ofstream(kept) << "earlier capture";
  std::filesystem::create_hard_link(console, link);
  for (const auto& [script, capture] : {std::pair{(folder / "missing.vxs").string(), kept},
                                        {folder.Path().string(), kept}, {kept, kept}, {console, link}}) {
    errors = RunShell(vexmira + "--script '" + script + "' --capture '" + capture + "' 2>&1 >/dev/null", &status);
    EXPECT_EQ(status, 2) << script << ": " << errors;
    EXPECT_EQ(ReadFile(kept), "earlier capture") << script;
  }
  EXPECT_EQ(ReadFile(console), "click 1000\nwait 10000\nclose\n");

  // A FIFO that no program reads is refused at once (the start does not wait for a reader).
  const std::string fifo = folder / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  errors = RunShell("timeout 60 " + vexmira + "--script '" + console + "' --capture " + fifo + " 2>&1", &status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(errors, "vexmira: no program is reading \"" + fifo + "\"; start the program that reads the capture first\n");
}
