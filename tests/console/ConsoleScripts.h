// Helpers for the console dialog's script tests: running it as the launcher does, and reading its frames.
#pragma once
#include "console/ConsoleData.h"
#include "console/DmxTransmit.h"
#include "link/DmxLink.h"
#include "link/LineConstants.h"
#include "support/ScriptRun.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// Runs the console as the launcher's button does: level mode, the console, stand-by. The
// console works on `data` (the program's own unless given).
inline CScriptRun RunConsole(const std::string& script, CConsoleData* data = nullptr) {
  return RunScript(script, [data](CDmxLink& link) {
    link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
    {
      CDmxTransmit console(link, data ? *data : CConsoleData::Program());
      console.DoModal();
    }
    link.DmxLinkStandBy();
  });
}

// The calls made from the `from`-th on, in readable form.
inline std::vector<std::string> CallsFrom(const CScriptRun& run, std::size_t from) {
  const std::vector<std::string> all = Describe(run.calls);
  return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
}

// The index of the nth call (from 0) that reads `described`; the call count if there is none.
inline std::size_t IndexOfCall(const CScriptRun& run, const std::string& described, std::size_t nth = 0) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < run.calls.size(); ++i) {
    if (Describe(run.calls[i]) == described && seen++ == nth) return i;
  }
  return run.calls.size();
}

// "expect text ID "TEXT"" lines for the 32 channel labels, from channel `first` on.
inline std::string ExpectLabels(int first) {
  std::string text;
  for (int k = 0; k < CDmxTransmit::kColumns; ++k)
    text += "expect text " + std::to_string(CDmxTransmit::LabelId(k)) + " \"" + std::to_string(first + k) + "\"\n";
  return text;
}

// "expect" lines for the 32 columns all showing `level`.
inline std::string ExpectColumns(int level) {
  std::string text;
  for (int k = 0; k < CDmxTransmit::kColumns; ++k) {
    text += "expect pos " + std::to_string(CDmxTransmit::FaderId(k)) + " " + std::to_string(255 - level) + "\n";
    text += "expect text " + std::to_string(CDmxTransmit::ValueBoxId(k)) + " \"" + std::to_string(level) + "\"\n";
  }
  return text;
}
