// Finding DMX interfaces through /dev/serial/by-id and the USB ids in sysfs.
#include "outputs/InterfaceFinder.h"

#include "outputs/OutputKinds.h"
#include "outputs/TtyPort.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// How far above the tty's sysfs node the USB device with its ids may sit
// (tty -> interface -> device, with room for a hub-less quirk or two).
constexpr int kMaxUsbLevels = 6;

std::optional<std::uint16_t> ReadHexId(const fs::path& file) {
  std::ifstream in(file);
  std::string text;
  if (!(in >> text)) {
    return std::nullopt;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size() || value > 0xFFFF) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(value);
}

// The FTDI chips DMX interfaces are built on: only these are ever opened, let alone written to.
bool IsDmxAdapter(const CSerialDevice& device) {
  return device.vendor == CInterfaceFinder::kFtdiVendor &&
         (device.product == CInterfaceFinder::kFtdiSinglePort || device.product == CInterfaceFinder::kFtdiQuadPort);
}

// By the name before the trailing number, then by the number: ttyUSB2 before ttyUSB10.
bool NameOrder(const std::string& a, const std::string& b) {
  const auto split = [](const std::string& name) {
    const std::size_t digits = name.find_last_not_of("0123456789") + 1;
    return std::pair(name.substr(0, digits), std::pair(name.size() - digits, name.substr(digits)));
  };
  return split(a) < split(b);
}

}  // namespace

CInterfaceFinder::CInterfaceFinder(fs::path sysRoot, fs::path devRoot, std::shared_ptr<CTtyControl> control)
    : m_sysRoot(std::move(sysRoot)), m_devRoot(std::move(devRoot)), m_control(std::move(control)) {}

std::vector<CSerialDevice> CInterfaceFinder::Devices() const {
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(m_devRoot / "serial" / "by-id", error)) {
    std::error_code linkError;
    const fs::path target = fs::read_symlink(entry.path(), linkError);
    if (!linkError && target.has_filename()) {
      names.insert(target.filename().string());
    }
  }
  for (const auto& entry : fs::directory_iterator(m_sysRoot / "class" / "tty", error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("ttyUSB")) {
      names.insert(name);
    }
  }

  std::vector<CSerialDevice> devices;
  for (const std::string& name : names) {
    CSerialDevice device{name, (m_devRoot / name).string()};
    std::error_code pathError;
    fs::path node = fs::canonical(m_sysRoot / "class" / "tty" / name / "device", pathError);
    for (int level = 0; !pathError && level < kMaxUsbLevels && node.has_relative_path(); ++level) {
      const auto vendor = ReadHexId(node / "idVendor");
      const auto product = ReadHexId(node / "idProduct");
      if (vendor && product) {
        device.vendor = *vendor;
        device.product = *product;
        break;
      }
      node = node.parent_path();
    }
    devices.push_back(std::move(device));
  }
  std::sort(devices.begin(), devices.end(),
            [](const CSerialDevice& a, const CSerialDevice& b) { return NameOrder(a.name, b.name); });
  return devices;
}

bool CInterfaceFinder::WouldAdopt(const CSerialDevice& device) { return IsDmxAdapter(device); }

std::expected<std::unique_ptr<CDmxOutput>, CError> CInterfaceFinder::Find(std::chrono::milliseconds probeLimit) const {
  std::vector<CSerialDevice> adapters = Devices();
  // Asking another device could upset it (a modem, a board that resets): it is never opened.
  std::erase_if(adapters, [](const CSerialDevice& device) { return !IsDmxAdapter(device); });
  std::optional<CError> firstError;
  // Each kind over every adapter, in the table's order; each port is closed again before the next
  // kind opens it.
  for (const COutputKind& kind : OutputKinds()) {
    if (!kind.probe) continue;
    for (const CSerialDevice& device : adapters) {
      // Opening takes the port's lock: a port another program holds is refused here, before any byte.
      auto port = CTtyPort::Open(device.path, m_control);
      if (!port) {
        firstError = firstError.value_or(port.error());
        continue;
      }
      if (!kind.probe(**port, probeLimit)) continue;
      auto output = kind.onPort(std::move(*port));
      if (output) return output;
      firstError = firstError.value_or(output.error());
    }
  }
  if (firstError) {
    return std::unexpected(CError{"No DMX interface could be used. " + firstError->message});
  }
  return std::unexpected(CError{"No DMX interface found: no FTDI 0403:6001 or 0403:6011 USB serial adapter under " +
                                (m_devRoot / "serial" / "by-id").string() + " or " +
                                (m_sysRoot / "class" / "tty").string()});
}
