// Setting up the DMX line from the command line, and running the program in script mode.
#pragma once
#include "app/CommandLine.h"
#include "base/Error.h"
#include "framework/ScriptHost.h"
#include "link/DmxLine.h"

#include <expected>
#include <functional>

// Chooses the output (looking for a real interface when none is named, falling back to none).
std::expected<void, CError> ConfigureOutput(const CCommandLine& commandLine);
// Opens the capture the command line asks for, if any. `captureFailed` hears of its first write
// failure: on the thread that started the frame, so it must not block.
std::expected<void, CError> StartCapture(const CCommandLine& commandLine,
                                         std::function<void(const CError&)> captureFailed);

// The DMX line as a script's frame expectations see it.
class CLineFrameSource final : public CFrameSource {
 public:
  explicit CLineFrameSource(const CDmxLine& line) : m_line(line) {}
  std::uint64_t FrameCount() const override;
  std::optional<CObservedFrame> LastFrame() const override;

 private:
  const CDmxLine& m_line;
};

// Runs the program on the script host. Nothing is created or emptied before the script has been
// read. Exit status: 0 ran through, 1 an expectation failed or the capture could not be written
// (the reason printed to stderr, last), 2 the script cannot be read or the set-up failed.
int RunScriptMode(const CCommandLine& commandLine);

// Shows a fault of the interface (unplugged, failing) and a capture that stopped to the user
// once, in a message box, through the current host. Call once the host is set.
void WatchLineFaults();
// Reports a stopped capture in the windowed program: on stderr at once, in a message box soon.
void ReportCaptureFailure(const CError& error);

// Flushes the line at the end of a run: frames already started reach the output.
void FinishLine();
