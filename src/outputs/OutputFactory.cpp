// Maps interface names to outputs.
#include "outputs/OutputFactory.h"

#include "link/LineConstants.h"
#include "outputs/ArtNetOutput.h"
#include "outputs/InterfaceFinder.h"
#include "outputs/NoOutput.h"
#include "outputs/OpenDmxOutput.h"
#include "outputs/ProOutput.h"
#include "outputs/SacnOutput.h"
#include "outputs/VirtualOutput.h"

#include <string>

namespace {

using COutputResult = std::expected<std::unique_ptr<CDmxOutput>, CError>;

// The virtual outputs that answer one model only, by name ("virtual:0x0101").
constexpr int kSingleModels[] = {kOpenDmxModel, kProWidgetModel};

// "opendmx:/dev/ttyUSB0": the device opened and set up by `create`; an error when it is missing.
COutputResult OpenSerial(std::string_view name, std::string_view prefix, std::shared_ptr<CTtyControl> control,
                         COutputResult (*create)(std::unique_ptr<CTtyPort>)) {
  const std::string path(name.substr(prefix.size()));
  if (path.empty()) {
    return std::unexpected(CError{"The interface \"" + std::string(name) + "\" needs a device, e.g. \"" +
                                  std::string(prefix) + "/dev/ttyUSB0\""});
  }
  auto port = CTtyPort::Open(path, std::move(control));
  if (!port) {
    return std::unexpected(port.error());
  }
  return create(std::move(*port));
}

template <typename Output>
COutputResult OpenNetwork(std::string_view name) {
  auto output = Output::Open(name);
  if (!output) return std::unexpected(output.error());
  return std::unique_ptr<CDmxOutput>(std::move(*output));
}

}  // namespace

COutputResult MakeOutput(std::string_view name, std::shared_ptr<CTtyControl> control) {
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
    return OpenSerial(name, "opendmx:", std::move(control), COpenDmxOutput::Create);
  }
  if (name.starts_with("pro:")) {
    return OpenSerial(name, "pro:", std::move(control), CProOutput::Create);
  }
  if (name.starts_with("sacn:")) {
    return OpenNetwork<CSacnOutput>(name);
  }
  if (name.starts_with("artnet:")) {
    return OpenNetwork<CArtNetOutput>(name);
  }
  if (name == "auto") {
    return CInterfaceFinder("/sys", "/dev", std::move(control)).Find();
  }
  return std::unexpected(CError{"Unknown interface \"" + std::string(name) +
                                "\" (known: opendmx:DEVICE, pro:DEVICE, sacn:UNIVERSE[@HOST], artnet:UNIVERSE[@HOST], "
                                "auto, virtual, " + singles + "none)"});
}
