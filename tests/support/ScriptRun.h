// Runs a script against a program on the script host and keeps what a user and the line saw.
#pragma once
#include "framework/Host.h"
#include "framework/ScriptHost.h"
#include "link/DmxFrame.h"
#include "link/DmxLink.h"
#include "support/RecordingLink.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <string>
#include <vector>

struct CScriptRun {
  CScriptResult result;
  std::vector<CMessageBox> boxes;
  std::vector<CFileDialog> fileDialogs;
  std::vector<CLinkCall> calls;  // every library call, in order

  bool Passed() const { return result.exitCode == 0; }
};

// Runs `program` under `script` (the language's text) on a recording link whose output is the
// interface named ("virtual" unless said), with the line's clock on the host's virtual time.
// Fails the current test if the script cannot be parsed.
CScriptRun RunScript(const std::string& script, const std::function<void(CDmxLink&)>& program,
                     const std::string& interfaceName = "virtual");
// The same on an output of the test's own.
CScriptRun RunScript(const std::string& script, const std::function<void(CDmxLink&)>& program,
                     std::unique_ptr<CDmxOutput> output);

// Runs dialog class D modally under the script, which must pass.
template <class D>
CScriptRun RunDialogScript(const std::string& script, const std::string& interfaceName = "virtual") {
  CScriptRun run = RunScript(script, [](CDmxLink& link) {
    D dialog(link);
    dialog.DoModal();
  }, interfaceName);
  EXPECT_TRUE(run.Passed()) << run.result.message;
  return run;
}

// "expect WHAT ID" for each id, a line each.
inline std::string Expect(const std::string& what, const std::vector<int>& ids) {
  std::string text;
  for (const int id : ids) text += "expect " + what + " " + std::to_string(id) + "\n";
  return text;
}

// The script with each {name} replaced by the control id `ids` gives it, so that scripts name
// controls as the dialog's header does. A name not in `ids` fails the current test.
std::string WithIds(const std::string& script, const std::vector<std::pair<std::string, int>>& ids);
