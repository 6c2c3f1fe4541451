// Program set-up shared by the windowed and the script mode.
#include "app/Program.h"

#include "app/Application.h"
#include "framework/Dialog.h"
#include "link/CaptureWriter.h"
#include "link/WallClock.h"
#include "outputs/OutputFactory.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

void PrintError(const std::string& message) { std::fprintf(stderr, "vexmira: %s\n", message.c_str()); }

// Whether two names reach the same file, also through links or dots.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  const auto canonicalA = std::filesystem::weakly_canonical(a, error);
  if (error) return false;
  const auto canonicalB = std::filesystem::weakly_canonical(b, error);
  return !error && canonicalA == canonicalB;
}

}  // namespace

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
  line.Flush(std::chrono::milliseconds(2000));
  line.SetFaultHandler(nullptr);
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
  CLineFrameSource frames(line);
  host.SetFrameSource(&frames);
  // Virtual time starts at the real start time, so a capture carries today's date.
  const std::int64_t originUs = WallClockNowUs();
  line.SetClock([&host, originUs] { return originUs + host.NowUs(); });
  CHost::SetCurrent(&host);
  WatchLineFaults();
  CApplication app(line, {.interfaceName = resolved.interfaceName.value_or(""), .chooseFirst = commandLine.chooseInterface});
  const CScriptResult result = host.Run([&] { app.InitInstance(); });
  FinishLine();
  line.SetClock({});
  int exitCode = result.exitCode;
  if (exitCode != 0) PrintError(result.message);
  if (const auto captureError = line.CaptureError()) {
    PrintError(captureError->message + ". The capture stopped there.");
    if (exitCode == 0) exitCode = 1;
  }
  line.SetCapture(nullptr);
  return exitCode;
}
