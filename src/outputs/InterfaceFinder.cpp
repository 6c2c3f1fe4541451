// Finding DMX interfaces through /dev/serial/by-id and the USB ids in sysfs.
#include "outputs/InterfaceFinder.h"

#include "outputs/OutputKinds.h"
#include "outputs/TtyPort.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
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

std::string ReadLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// FTDI's own ids are on countless boards that are no DMX interface (programmers, development
// boards, GPS receivers), and opening a port raises DTR, which resets some of them: only an
// adapter whose USB names say DMX is ever opened, let alone written to.
bool NamesDmx(const CSerialDevice& device) {
  const auto says = [](std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    return name.find("DMX") != std::string::npos;
  };
  return says(device.manufacturer) || says(device.productName);
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
  std::map<std::string, std::string> byId;  // by device name
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(m_devRoot / "serial" / "by-id", error)) {
    std::error_code linkError;
    const fs::path target = fs::read_symlink(entry.path(), linkError);
    if (!linkError && target.has_filename()) {
      names.insert(target.filename().string());
      byId.emplace(target.filename().string(), entry.path().string());
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
    if (auto link = byId.find(name); link != byId.end()) device.byId = link->second;
    std::error_code pathError;
    fs::path node = fs::canonical(m_sysRoot / "class" / "tty" / name / "device", pathError);
    for (int level = 0; !pathError && level < kMaxUsbLevels && node.has_relative_path(); ++level) {
      const auto vendor = ReadHexId(node / "idVendor");
      const auto product = ReadHexId(node / "idProduct");
      if (vendor && product) {
        device.vendor = *vendor;
        device.product = *product;
        device.manufacturer = ReadLine(node / "manufacturer");
        device.productName = ReadLine(node / "product");
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

bool CInterfaceFinder::WouldAdopt(const CSerialDevice& device) { return NamesDmx(device); }

std::expected<std::unique_ptr<CDmxOutput>, CError> CInterfaceFinder::Find(std::chrono::milliseconds probeLimit) const {
  std::vector<CSerialDevice> adapters = Devices();
  // FTDI ports that may be DMX cables all the same: the user is told how to name them.
  std::string leftAlone;
  for (const CSerialDevice& device : adapters) {
    if (device.vendor != kFtdiVendor || NamesDmx(device)) continue;
    const std::string& path = device.byId.empty() ? device.path : device.byId;
    leftAlone += "\n  " + path + " (\"" + device.productName + "\"): if it is a DMX cable, use --interface opendmx:" + path;
  }
  std::erase_if(adapters, [](const CSerialDevice& device) { return !NamesDmx(device); });
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
  std::string reason = firstError ? "No DMX interface could be used. " + firstError->message
                                  : "No DMX interface found: no USB serial adapter whose USB name says DMX under " +
                                        (m_devRoot / "serial" / "by-id").string() + " or " +
                                        (m_sysRoot / "class" / "tty").string();
  if (!leftAlone.empty()) reason += ". FTDI ports left alone, as their USB names do not say DMX:" + leftAlone;
  return std::unexpected(CError{reason});
}
