// The serial ports the interface chooser offers, each as a user recognises it.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct CSerialPortChoice {
  std::string path;   // what the interface name takes: the stable /dev/serial/by-id name where udev made one
  std::string label;  // "usb-FTDI_FT232R_USB_UART_A1-if00-port0 (FT232R USB UART; auto uses it)"
};

// Every USB serial port the finder lists, with its by-id name, the product string the device gives
// (from sysfs) and whether `auto` would adopt it. The roots are injectable for tests.
std::vector<CSerialPortChoice> SerialPortChoices(const std::filesystem::path& sysRoot = "/sys",
                                                 const std::filesystem::path& devRoot = "/dev");
