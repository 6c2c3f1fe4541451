// Setting up the DMX line from the command line, and running the program in script mode.
#pragma once
#include "app/CommandLine.h"
#include "base/Error.h"
#include "framework/ScriptHost.h"
#include "link/DmxLine.h"

#include <expected>
#include <functional>
#include <optional>
#include <string>

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
// read. Exit status: 0 ran through, 1 an expectation failed, the interface failed or the capture
// could not be written (the reasons printed to stderr), 2 the script cannot be read or the set-up
// failed. Ended by SIGINT, SIGTERM or SIGHUP after the clean-up, by that signal.
int RunScriptMode(const CCommandLine& commandLine);

// Shows a fault of the interface (unplugged, failing) and a capture that stopped to the user
// once, in a message box, through the current host. Call once the host is set.
void WatchLineFaults();
// Reports a stopped capture in the windowed program: on stderr at once, in a message box soon.
void ReportCaptureFailure(const CError& error);

// "vexmira: MESSAGE" on stderr, control characters escaped so that no text given to the program
// can drive the terminal.
void PrintError(const std::string& message);

// The end of a run, as after the launcher closed: the line stands by (a network stream ends with
// its terminated packets) and frames already started reach the output.
void FinishLine();
// Then: the capture is written out and closed, and the output closes (a serial port gets its
// settings back). Why the capture failed, if it did.
std::optional<CError> CloseLine();
