// Runs a script against a program on the script host and keeps what a user and the line saw.
#pragma once
#include "framework/Host.h"
#include "framework/ScriptHost.h"
#include "link/DmxFrame.h"
#include "link/DmxLine.h"

#include <functional>
#include <string>
#include <vector>

struct CScriptRun {
  CScriptResult result;
  std::vector<CMessageBox> boxes;
  std::vector<CFileDialog> fileDialogs;
  std::vector<CLinkCall> calls;  // every library call, in order
  std::vector<CDmxFrame> frames; // every frame put on the line, in order

  bool Passed() const { return result.exitCode == 0; }
};

// Runs `program` under `script` (the language's text) on a fresh line with the given
// interface ("virtual" unless said), recording every call, with the line's clock on
// the host's virtual time. Fails the current test if the script cannot be parsed.
CScriptRun RunScript(const std::string& script, const std::function<void()>& program,
                     const std::string& interfaceName = "virtual");

// Runs dialog class D modally under the script.
template <class D>
CScriptRun RunDialogScript(const std::string& script, const std::string& interfaceName = "virtual") {
  return RunScript(script, [] {
    D dialog;
    dialog.DoModal();
  }, interfaceName);
}

// The calls of one kind, e.g. every StandBy.
std::vector<CLinkCall> CallsOf(const std::vector<CLinkCall>& calls, ELinkCall kind);

// A call in readable form for comparisons: "SetMode(165, 252, 0, 2)", "SetChannelValue(0, 1)",
// "SetPageValue(0)", "Start()", "StandBy()", "Open(34952, 258)".
std::string Describe(const CLinkCall& call);
std::vector<std::string> Describe(const std::vector<CLinkCall>& calls);
