// Maps interface names to outputs.
#include "outputs/OutputFactory.h"

#include "outputs/ArtNetOutput.h"
#include "outputs/InterfaceFinder.h"
#include "outputs/NoOutput.h"
#include "outputs/OpenDmxOutput.h"
#include "outputs/ProOutput.h"
#include "outputs/SacnOutput.h"
#include "outputs/VirtualOutput.h"

#include <string>

namespace {

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
std::expected<std::unique_ptr<CDmxOutput>, CError> OpenNetwork(std::string_view name) {
  auto output = Output::Open(name);
  if (!output) return std::unexpected(output.error());
  return std::unique_ptr<CDmxOutput>(std::move(*output));
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
  if (name == "virtual:0x0101") {
    return std::make_unique<CVirtualOutput>(kVirtualModelA);
  }
  if (name == "virtual:0x0102") {
    return std::make_unique<CVirtualOutput>(kVirtualModelB);
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
  if (name.starts_with("sacn:")) {
    return OpenNetwork<CSacnOutput>(name);
  }
  if (name.starts_with("artnet:")) {
    return OpenNetwork<CArtNetOutput>(name);
  }
  if (name == "auto") {
    return CInterfaceFinder().Find();
  }
  return std::unexpected(CError{"Unknown interface \"" + std::string(name) +
                                "\" (known: opendmx:DEVICE, pro:DEVICE, sacn:UNIVERSE[@HOST], "
                                "artnet:UNIVERSE[@HOST], auto, virtual, virtual:0x0101, virtual:0x0102, none)"});
}
