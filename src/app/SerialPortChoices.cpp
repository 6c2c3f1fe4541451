// Serial ports for the chooser: the finder's devices with their by-id names and product strings.
#include "app/SerialPortChoices.h"

#include "outputs/InterfaceFinder.h"

namespace fs = std::filesystem;

std::vector<CSerialPortChoice> SerialPortChoices(const fs::path& sysRoot, const fs::path& devRoot) {
  std::vector<CSerialPortChoice> choices;
  for (const CSerialDevice& device : CInterfaceFinder(sysRoot, devRoot).Devices()) {
    const std::string& byId = device.byId;
    const std::string product = device.productName.empty() ? "USB serial device" : device.productName;
    const char* adoption = CInterfaceFinder::WouldAdopt(device) ? "auto uses it" : "auto leaves it alone";
    choices.push_back({byId.empty() ? device.path : byId,
                       (byId.empty() ? device.name : fs::path(byId).filename().string()) + " (" + product + "; " +
                           adoption + ")"});
  }
  return choices;
}
