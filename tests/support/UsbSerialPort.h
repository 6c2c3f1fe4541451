// A USB serial adapter's tty in a fake sysfs and /dev, for tests of finding and choosing ports.
#pragma once
#include <filesystem>
#include <fstream>
#include <string>

// The tty `name` under <root>/sys as the kernel lays it out (ids in hex, the maker "Maker" and the
// product's name), and in <root>/dev/serial/by-id as usb-Maker_<name>-if00 when udev named it.
inline void AddUsbSerialPort(const std::filesystem::path& root, const std::string& name, const char* vendor,
                             const char* product, const char* productName, bool byId = true) {
  namespace fs = std::filesystem;
  const fs::path usb = root / "sys/devices" / ("usb-" + name), tty = root / "sys/class/tty" / name;
  fs::create_directories(usb / "1-1:1.0");
  fs::create_directories(tty);
  fs::create_directories(root / "dev/serial/by-id");
  std::ofstream(usb / "idVendor") << vendor << "\n";
  std::ofstream(usb / "idProduct") << product << "\n";
  std::ofstream(usb / "manufacturer") << "Maker\n";
  std::ofstream(usb / "product") << productName << "\n";
  fs::create_directory_symlink(usb / "1-1:1.0", tty / "device");
  if (byId) fs::create_symlink("../../" + name, root / "dev/serial/by-id" / ("usb-Maker_" + name + "-if00"));
}
