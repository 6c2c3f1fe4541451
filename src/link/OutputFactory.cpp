// Maps interface names to outputs.
#include "link/OutputFactory.h"

#include "link/NoOutput.h"
#include "link/VirtualOutput.h"

#include <string>

std::expected<std::unique_ptr<CDmxOutput>, CError> MakeOutput(std::string_view name) {
  if (name == "virtual") {
    return std::make_unique<CVirtualOutput>();
  }
  if (name == "virtual:0x0101") {
    return std::make_unique<CVirtualOutput>(kVirtualModelA);
  }
  if (name == "virtual:0x0102") {
    return std::make_unique<CVirtualOutput>(kVirtualModelB);
  }
  if (name == "none") {
    return std::make_unique<CNoOutput>();
  }
  const std::string quoted = "\"" + std::string(name) + "\"";
  if (name.starts_with("opendmx:") || name.starts_with("pro:") || name == "auto") {
    return std::unexpected(CError{"The interface " + quoted + " is not available yet"});
  }
  return std::unexpected(CError{"Unknown interface " + quoted +
                                " (known: virtual, virtual:0x0101, virtual:0x0102, none)"});
}
