// Setting up the DMX line from the command line, and running the program in script mode.
#pragma once
#include "app/CommandLine.h"
#include "base/Error.h"
#include "framework/ScriptHost.h"
#include "link/DmxLine.h"

#include <expected>

// Chooses the output (looking for a real interface when none is named, falling back to
// none), opens the capture, and resets the line.
std::expected<void, CError> ConfigureLine(const CCommandLine& commandLine);

// The DMX line as a script's frame expectations see it.
class CLineFrameSource final : public CFrameSource {
 public:
  explicit CLineFrameSource(const CDmxLine& line) : m_line(line) {}
  std::uint64_t FrameCount() const override;
  std::optional<CObservedFrame> LastFrame() const override;

 private:
  const CDmxLine& m_line;
};

// Runs the program on the script host. Exit status: 0 ran through, 1 an expectation
// failed (printed to stderr), 2 the script cannot be read.
int RunScriptMode(const CCommandLine& commandLine);

// Shows a fault of the interface (unplugged, failing) to the user once, in a message box,
// through the current host. Call once the host is set.
void WatchLineFaults();

// Flushes the line at the end of a run: frames already started reach the output.
void FinishLine();
