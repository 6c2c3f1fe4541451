// Program set-up shared by the windowed and the script mode.
#include "app/Program.h"

#include "app/ZelkarLightingDMXTesterApp.h"
#include "framework/Dialog.h"
#include "link/CaptureWriter.h"
#include "link/DmxLine.h"
#include "outputs/OutputFactory.h"

#include <cstdio>

std::expected<void, CError> ConfigureLine(const CCommandLine& commandLine) {
  CDmxLine& line = CDmxLine::Instance();
  std::unique_ptr<CDmxOutput> output;
  if (!commandLine.interfaceName || *commandLine.interfaceName == "auto") {
    // No interface found is not an error here: the start-up check says so to the user.
    auto found = MakeOutput("auto");
    if (found) {
      output = std::move(*found);
    } else {
      std::fprintf(stderr, "vexmira: %s\n", found.error().message.c_str());
      output = std::move(*MakeOutput("none"));
    }
  } else {
    auto made = MakeOutput(*commandLine.interfaceName);
    if (!made) return std::unexpected(made.error());
    output = std::move(*made);
  }
  line.SetOutput(std::move(output));
  if (commandLine.capturePath) {
    auto capture = CCaptureWriter::Create(*commandLine.capturePath);
    if (!capture) return std::unexpected(capture.error());
    line.SetCapture(std::move(*capture));
  }
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

void FinishLine() {
  CDmxLine& line = CDmxLine::Instance();
  line.Flush(std::chrono::milliseconds(2000));
  line.SetFaultHandler(nullptr);
}

int RunScriptMode(const CCommandLine& commandLine) {
  auto script = CScript::Load(*commandLine.scriptPath);
  if (!script) {
    std::fprintf(stderr, "vexmira: %s\n", script.error().message.c_str());
    return 2;
  }
  CScriptHost host(std::move(*script), commandLine.realtime);
  CLineFrameSource frames(CDmxLine::Instance());
  host.SetFrameSource(&frames);
  CDmxLine::Instance().SetClock([&host] { return host.NowUs(); });
  CHost::SetCurrent(&host);
  WatchLineFaults();
  CZelkarLightingDMXTesterApp app(CDmxLine::Instance());
  const CScriptResult result = host.Run([&] { app.InitInstance(); });
  FinishLine();
  CDmxLine::Instance().SetClock({});
  if (result.exitCode != 0) std::fprintf(stderr, "vexmira: %s\n", result.message.c_str());
  return result.exitCode;
}
