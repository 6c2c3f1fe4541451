// Script runs for tests: a recording link, the host's virtual time, and what the run showed.
#include "support/ScriptRun.h"

#include "app/Program.h"
#include "framework/Dialog.h"
#include "outputs/OutputFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

CScriptRun RunScript(const std::string& text, const std::function<void(CDmxLink&)>& program,
                     const std::string& interfaceName) {
  auto output = MakeOutput(interfaceName);
  if (!output) {
    ADD_FAILURE() << output.error().message;
    return {};
  }
  return RunScript(text, program, std::move(*output));
}

CScriptRun RunScript(const std::string& text, const std::function<void(CDmxLink&)>& program,
                     std::unique_ptr<CDmxOutput> output) {
  CScriptRun run;
  auto script = CScript::Parse(text, "script");
  if (!script) {
    ADD_FAILURE() << script.error().message;
    run.result = {2, script.error().message};
    return run;
  }
  CRecordingLink link(std::move(output));
  CScriptHost host(std::move(*script));
  CLineFrameSource frames(link.Line());
  host.SetFrameSource(&frames);
  link.Line().SetClock([&host] { return host.NowUs(); });
  run.result = host.Run([&] { program(link); });
  link.Line().Flush(std::chrono::milliseconds(1000));
  link.Line().SetClock({});
  run.boxes = host.MessageBoxes();
  run.fileDialogs = host.FileDialogs();
  run.calls = link.Calls();
  CHost::SetCurrent(nullptr);
  return run;
}

std::string WithIds(const std::string& script, const std::vector<std::pair<std::string, int>>& ids) {
  std::string text;
  std::size_t from = 0;
  for (std::size_t open; (open = script.find('{', from)) != std::string::npos;) {
    const std::size_t close = script.find('}', open);
    const std::string_view name = std::string_view(script).substr(open + 1, close - open - 1);
    const auto id = std::find_if(ids.begin(), ids.end(), [&](const auto& entry) { return entry.first == name; });
    text.append(script, from, open - from);
    if (close == std::string::npos || id == ids.end()) {
      ADD_FAILURE() << "no id for {" << name << "} in the script";
      return text;
    }
    text += std::to_string(id->second);
    from = close + 1;
  }
  return text + script.substr(from);
}
