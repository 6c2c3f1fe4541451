// Fuzz target: the script parser on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto script = CScript::Parse(text, "fuzz");
  if (!script) {
    // Every refusal names the script and its line.
    if (script.error().message.rfind("fuzz:", 0) != 0) std::abort();
    return 0;
  }
  // Every line kept is a command with its line number within the text.
  int previous = 0;
  for (const CScriptLine& line : script->Lines()) {
    if (line.command.empty() || line.number <= previous) std::abort();
    previous = line.number;
  }
  return 0;
}
