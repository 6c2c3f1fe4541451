// Script runs for tests: fresh line, recorded calls and frames.
#include "support/ScriptRun.h"

#include "framework/Dialog.h"
#include "outputs/OutputFactory.h"

#include <gtest/gtest.h>

namespace {

class CFramesOfLine final : public CFrameSource {
 public:
  std::uint64_t FrameCount() const override { return CDmxLine::Instance().FrameCount(); }
  std::optional<CObservedFrame> LastFrame() const override {
    auto frame = CDmxLine::Instance().LastFrame();
    if (!frame) return std::nullopt;
    return CObservedFrame{frame->startCode, frame->slots};
  }
};

}  // namespace

CScriptRun RunScript(const std::string& text, const std::function<void()>& program, const std::string& interfaceName) {
  CScriptRun run;
  auto script = CScript::Parse(text, "script");
  if (!script) {
    ADD_FAILURE() << script.error().message;
    run.result = {2, script.error().message};
    return run;
  }
  CDmxLine& line = CDmxLine::Instance();
  line.Reset();
  auto output = MakeOutput(interfaceName);
  if (!output) {
    ADD_FAILURE() << output.error().message;
    return run;
  }
  line.SetOutput(std::move(*output));
  line.SetRecording(true);
  line.SetHistoryLimit(1 << 20);

  CScriptHost host(std::move(*script));
  CFramesOfLine frames;
  host.SetFrameSource(&frames);
  line.SetClock([&host] { return host.NowUs(); });
  run.result = host.Run(program);
  line.Flush(std::chrono::milliseconds(1000));
  run.boxes = host.MessageBoxes();
  run.fileDialogs = host.FileDialogs();
  run.calls = line.Calls();
  run.frames = line.Frames();
  line.Reset();
  CHost::SetCurrent(nullptr);
  return run;
}

std::vector<CLinkCall> CallsOf(const std::vector<CLinkCall>& calls, ELinkCall kind) {
  std::vector<CLinkCall> result;
  for (const auto& call : calls)
    if (call.call == kind) result.push_back(call);
  return result;
}

std::string Describe(const CLinkCall& call) {
  const auto& a = call.args;
  auto n = [&](int i) { return std::to_string(a[static_cast<std::size_t>(i)]); };
  switch (call.call) {
    case ELinkCall::Open: return "Open(" + n(0) + ", " + n(1) + ")";
    case ELinkCall::SetMode: return "SetMode(" + n(0) + ", " + n(1) + ", " + n(2) + ", " + n(3) + ")";
    case ELinkCall::SetPageValue: return "SetPageValue(" + n(0) + ")";
    case ELinkCall::SetChannelValue: return "SetChannelValue(" + n(0) + ", " + n(1) + ")";
    case ELinkCall::Start: return "Start()";
    case ELinkCall::StartWithPageValue: return "StartWithPageValue(" + n(0) + ")";
    case ELinkCall::StartWithChannelValue: return "StartWithChannelValue(" + n(0) + ", " + n(1) + ")";
    case ELinkCall::StandBy: return "StandBy()";
  }
  return "?";
}

std::vector<std::string> Describe(const std::vector<CLinkCall>& calls) {
  std::vector<std::string> result;
  for (const auto& call : calls) result.push_back(Describe(call));
  return result;
}
