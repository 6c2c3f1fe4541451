// Maps interface names to outputs.
#include "outputs/OutputFactory.h"

#include "link/LineConstants.h"
#include "outputs/InterfaceFinder.h"
#include "outputs/NoOutput.h"
#include "outputs/OpenDmxOutput.h"
#include "outputs/ProOutput.h"
#include "outputs/VirtualOutput.h"

#include <string>

namespace {

// The virtual outputs that answer one model only, by name ("virtual:0x0101").
constexpr int kSingleModels[] = {kOpenDmxModel, kProWidgetModel};

// "opendmx:/dev/ttyUSB0" -> "/dev/ttyUSB0"; an error when the device is missing.
std::expected<std::string, CError> DevicePath(std::string_view name, std::string_view prefix) {
  const std::string path(name.substr(prefix.size()));
  if (path.empty()) {
    return std::unexpected(CError{"The interface \"" + std::string(name) + "\" needs a device, e.g. \"" +
                                  std::string(prefix) + "/dev/ttyUSB0\""});
  }
  return path;
}

template <typename Output>
std::expected<std::unique_ptr<CDmxOutput>, CError> OpenSerial(std::string_view name, std::string_view prefix) {
  auto path = DevicePath(name, prefix);
  if (!path) {
    return std::unexpected(path.error());
  }
  auto output = Output::Open(*path);
  if (!output) {
    return std::unexpected(output.error());
  }
  return std::unique_ptr<CDmxOutput>(std::move(*output));
}

}  // namespace

std::expected<std::unique_ptr<CDmxOutput>, CError> MakeOutput(std::string_view name) {
  if (name == "virtual") {
    return std::make_unique<CVirtualOutput>();
  }
  std::string singles;
  for (const int model : kSingleModels) {
    auto single = std::make_unique<CVirtualOutput>(model);
    if (name == single->Name()) {
      return single;
    }
    singles += single->Name() + ", ";
  }
  if (name == "none") {
    return std::make_unique<CNoOutput>();
  }
  if (name.starts_with("opendmx:")) {
    return OpenSerial<COpenDmxOutput>(name, "opendmx:");
  }
  if (name.starts_with("pro:")) {
    return OpenSerial<CProOutput>(name, "pro:");
  }
  if (name == "auto") {
    return CInterfaceFinder().Find();
  }
  return std::unexpected(CError{"Unknown interface \"" + std::string(name) +
                                "\" (known: opendmx:DEVICE, pro:DEVICE, auto, virtual, " + singles + "none)"});
}
