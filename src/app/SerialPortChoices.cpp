// Serial ports for the chooser: the finder's devices with their by-id names and product strings.
#include "app/SerialPortChoices.h"

#include "outputs/InterfaceFinder.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// How far above the tty's sysfs node the USB device with its strings may sit.
constexpr int kMaxUsbLevels = 6;

// The product string of the USB device a tty belongs to; empty when the device gives none.
std::string ProductOf(const fs::path& sysRoot, const std::string& name) {
  std::error_code error;
  fs::path node = fs::canonical(sysRoot / "class" / "tty" / name / "device", error);
  for (int level = 0; !error && level < kMaxUsbLevels && node.has_relative_path(); ++level, node = node.parent_path()) {
    std::ifstream in(node / "product");
    if (std::string product; in && std::getline(in, product) && !product.empty()) return product;
  }
  return {};
}

// The /dev/serial/by-id link that leads to the tty, if udev made one.
std::string ByIdOf(const fs::path& devRoot, const std::string& name) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(devRoot / "serial" / "by-id", error)) {
    std::error_code linkError;
    if (fs::read_symlink(entry.path(), linkError).filename() == name && !linkError) return entry.path().string();
  }
  return {};
}

}  // namespace

std::vector<CSerialPortChoice> SerialPortChoices(const fs::path& sysRoot, const fs::path& devRoot) {
  std::vector<CSerialPortChoice> choices;
  for (const CSerialDevice& device : CInterfaceFinder(sysRoot, devRoot).Devices()) {
    const std::string byId = ByIdOf(devRoot, device.name);
    std::string product = ProductOf(sysRoot, device.name);
    if (product.empty()) product = "USB serial device";
    const char* adoption = CInterfaceFinder::WouldAdopt(device) ? "auto uses it" : "auto leaves it alone";
    choices.push_back({byId.empty() ? device.path : byId,
                       (byId.empty() ? device.name : fs::path(byId).filename().string()) + " (" + product + "; " +
                           adoption + ")"});
  }
  return choices;
}
