// Looks for a real DMX interface among the USB serial devices (for --interface auto).
#pragma once
#include "base/Error.h"
#include "link/DmxOutput.h"
#include "outputs/KernelTtyControl.h"

#include <chrono>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A USB serial device as the system lists it.
struct CSerialDevice {
  std::string name;  // "ttyUSB0"
  std::string path;  // the device node: "/dev/ttyUSB0"
  std::uint16_t vendor = 0;  // USB ids; 0 when the system does not say
  std::uint16_t product = 0;
  std::string byId{};         // its link under /dev/serial/by-id, empty when udev made none
  std::string manufacturer{}; // the USB device's names, empty when it has none
  std::string productName{};
};

// The roots are injectable so tests can lay out a fake sysfs and /dev in a temporary folder.
class CInterfaceFinder final {
 public:
  static constexpr std::chrono::milliseconds kProbeLimit{200};
  static constexpr std::uint16_t kFtdiVendor = 0x0403;

  explicit CInterfaceFinder(std::filesystem::path sysRoot = "/sys", std::filesystem::path devRoot = "/dev",
                            std::shared_ptr<CTtyControl> control = CKernelTtyControl::Shared());

  // The devices named under <dev>/serial/by-id and the ttyUSB devices under <sys>/class/tty,
  // each once, in name order, with USB ids from sysfs.
  std::vector<CSerialDevice> Devices() const;
  // Whether Find() would open and adopt this device (the interface chooser shows it).
  static bool WouldAdopt(const CSerialDevice& device);
  // Among the adapters whose USB manufacturer or product name says DMX and that no other program
  // holds, the first that the first probing output kind recognises (a Pro widget answering its
  // serial-number request within `probeLimit`) becomes that kind's output; failing that, the next
  // kind is asked (open-DMX takes any adapter). Other devices are never opened. An error when
  // none is usable: it names the cause when an adapter could not be opened, and lists the FTDI
  // ports left alone with the --interface that would use each.
  std::expected<std::unique_ptr<CDmxOutput>, CError> Find(std::chrono::milliseconds probeLimit = kProbeLimit) const;

 private:
  std::filesystem::path m_sysRoot;
  std::filesystem::path m_devRoot;
  std::shared_ptr<CTtyControl> m_control;
};
