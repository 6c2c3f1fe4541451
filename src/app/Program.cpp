// Program set-up shared by the windowed and the script mode.
#include "app/Program.h"

#include "app/Application.h"
#include "app/EndSignals.h"
#include "framework/Dialog.h"
#include "framework/Text.h"
#include "link/CaptureWriter.h"
#include "link/WallClock.h"
#include "outputs/OutputFactory.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

namespace {

// Whether two names reach the same file, however it is named: links, dots, another hard link.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {}, second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

void PrintError(const std::string& message) {
  std::fprintf(stderr, "vexmira: %s\n", EscapeControls(message).c_str());
}

std::expected<void, CError> ConfigureOutput(const CCommandLine& commandLine) {
  CDmxLine& line = CDmxLine::Instance();
  std::unique_ptr<CDmxOutput> output;
  if (!commandLine.interfaceName || *commandLine.interfaceName == "auto") {
    // No interface found is not an error here: the start-up check says so to the user.
    auto found = MakeOutput("auto");
    if (found) {
      output = std::move(*found);
    } else {
      PrintError(found.error().message);
      output = std::move(*MakeOutput("none"));
    }
  } else {
    auto made = MakeOutput(*commandLine.interfaceName);
    if (!made) return std::unexpected(made.error());
    output = std::move(*made);
  }
  line.SetOutput(std::move(output));
  return {};
}

std::expected<void, CError> StartCapture(const CCommandLine& commandLine,
                                         std::function<void(const CError&)> captureFailed) {
  if (!commandLine.capturePath) return {};
  auto capture = CCaptureWriter::Create(*commandLine.capturePath);
  if (!capture) return std::unexpected(capture.error());
  CDmxLine::Instance().SetCapture(std::move(*capture), std::move(captureFailed));
  return {};
}

std::uint64_t CLineFrameSource::FrameCount() const { return m_line.Status().frameCount; }

std::optional<CObservedFrame> CLineFrameSource::LastFrame() const {
  auto frame = m_line.Status().lastFrame;
  if (!frame) return std::nullopt;
  return CObservedFrame{frame->startCode, frame->slots};
}

void WatchLineFaults() {
  // The report comes from the output's writer thread: the message box is shown on the GUI thread.
  CDmxLine::Instance().SetFaultHandler([](const CError& error) {
    CHost::Current().PostToGui([text = error.message] {
      CHost::Current().ShowMessageBox({text, ApplicationName(), EMessageIcon::Warning, 0});
    });
  });
}

void ReportCaptureFailure(const CError& error) {
  const std::string text = error.message + ". The capture has stopped; the DMX line goes on.";
  PrintError(text);
  CHost::Current().PostToGui([text] {
    CHost::Current().ShowMessageBox({text, ApplicationName(), EMessageIcon::Warning, 0});
  });
}

void FinishLine() {
  CDmxLine& line = CDmxLine::Instance();
  line.DmxLinkStandBy();
  line.Flush(std::chrono::milliseconds(2000));
  line.SetFaultHandler(nullptr);
}

std::optional<CError> CloseLine() {
  CDmxLine& line = CDmxLine::Instance();
  auto captureError = line.CloseCapture();
  line.SetOutput(nullptr);
  return captureError;
}

int RunScriptMode(const CCommandLine& commandLine) {
  CCommandLine resolved = commandLine;
  const std::filesystem::path scriptPath = std::filesystem::absolute(*commandLine.scriptPath);
  if (resolved.capturePath) {
    if (SameFile(*resolved.capturePath, scriptPath)) {
      PrintError("--capture and --script name the same file: " + *resolved.capturePath);
      return 2;
    }
    resolved.capturePath = std::filesystem::absolute(*resolved.capturePath).string();
  }
  if (const auto configured = ConfigureOutput(resolved); !configured) {
    PrintError(configured.error().message);
    return 2;
  }
  // Read before the capture is made: a script that cannot be run leaves an existing file alone.
  auto script = CScript::Load(*commandLine.scriptPath);
  if (!script) {
    PrintError(script.error().message);
    return 2;
  }
  if (const auto started = StartCapture(resolved, {}); !started) {
    PrintError(started.error().message);
    return 2;
  }
  // File names in the script are the script's own: relative ones start at its folder.
  if (::chdir(scriptPath.parent_path().c_str()) != 0) {
    PrintError("cannot enter the script's folder " + scriptPath.parent_path().string() + ": " + std::strerror(errno));
    return 2;
  }

  CDmxLine& line = CDmxLine::Instance();
  CScriptHost host(std::move(*script), commandLine.realtime);
  // A signal ends the run where it is, the dialogs closed as at the end of the script.
  std::thread signalWatch;
  if (EndSignalFd() >= 0)
    signalWatch = std::thread([&host] {
      pollfd watched{EndSignalFd(), POLLIN, 0};
      while (::poll(&watched, 1, -1) < 0 && errno == EINTR) {
      }
      if (ReceivedEndSignal() != 0) host.Stop();
    });
  CLineFrameSource frames(line);
  host.SetFrameSource(&frames);
  // Virtual time starts at the real start time, so a capture carries today's date.
  const std::int64_t originUs = WallClockNowUs();
  line.SetClock([&host, originUs] { return originUs + host.NowUs(); });
  CHost::SetCurrent(&host);
  WatchLineFaults();
  CApplication app(line, {.interfaceName = resolved.interfaceName.value_or(""), .chooseFirst = commandLine.chooseInterface});
  const CScriptResult result = host.Run([&] { app.InitInstance(); });
  if (signalWatch.joinable()) {
    WakeEndSignalWatch();
    signalWatch.join();
  }
  FinishLine();
  // Read before the output goes: a fault met in the last frames counts too.
  const auto fault = line.Status().fault;
  const auto captureError = CloseLine();
  line.SetClock({});
  int exitCode = result.exitCode;
  if (exitCode != 0) PrintError(result.message);
  // The frames stopped reaching the interface: whatever the script expected, the run did not do its work.
  if (fault) {
    PrintError(fault->message);
    exitCode = 1;
  }
  if (captureError) {
    PrintError(captureError->message + ". The capture stopped there.");
    if (exitCode == 0) exitCode = 1;
  }
  if (const int signal = ReceivedEndSignal()) EndBySignal(signal);
  return exitCode;
}
