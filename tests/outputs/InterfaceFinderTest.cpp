// Finding interfaces over a fake sysfs and /dev/serial/by-id in a private temporary folder.
#include "outputs/InterfaceFinder.h"

#include "FakeTty.h"
#include "support/TempFolder.h"
#include "support/UsbSerialPort.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace std::chrono_literals;

TEST(ThreadedInterfaceFinder, OnlyAdaptersNamedDmxAreOpenedAWidgetFirstAndOtherFtdiPortsAreListed) {
  const CTempFolder folder;
  const std::filesystem::path& root = folder.Path();
  const auto node = [&](const char* name) { return (root / "dev" / name).string(); };
  auto tty = std::make_shared<CFakeTty>();
  const CInterfaceFinder finder(root / "sys", root / "dev", tty);
  AddUsbSerialPort(root, "ttyUSB0", "10c4", "ea60", "CP2102 USB to UART Bridge Controller");
  AddUsbSerialPort(root, "ttyUSB5", "0403", "6001", "FT232R USB UART");  // FTDI's ids on a board that is no DMX cable
  auto none = finder.Find(100ms);
  ASSERT_FALSE(none);
  const std::string board = (root / "dev" / "serial" / "by-id" / "usb-Maker_ttyUSB5-if00").string();
  EXPECT_NE(none.error().message.find("No DMX interface found"), std::string::npos) << none.error().message;
  EXPECT_NE(none.error().message.find("\n  " + board + " (\"FT232R USB UART\"): if it is a DMX cable, use --interface "
                                      "opendmx:" + board),
            std::string::npos) << none.error().message;
  EXPECT_EQ(none.error().message.find("ttyUSB0"), std::string::npos);

  AddUsbSerialPort(root, "ttyUSB1", "0403", "6001", "DMX USB PRO");  // there, but may not be opened: the fix named
  tty->Setup(node("ttyUSB1")).openError = std::errc::permission_denied;
  auto refused = finder.Find(100ms);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("dialout"), std::string::npos) << refused.error().message;

  AddUsbSerialPort(root, "ttyUSB10", "0403", "6001", "Open dmx cable", false);
  AddUsbSerialPort(root, "ttyUSB2", "0403", "6011", "Quad RS485 DMX");
  AddUsbSerialPort(root, "ttyUSB3", "0403", "6001", "DMX USB PRO");  // held by another program
  tty->Setup(node("ttyUSB3")).openError = std::errc::device_or_resource_busy;
  const auto before = tty->Now();
  auto silentOnly = finder.Find(100ms);
  ASSERT_TRUE(silentOnly) << silentOnly.error().message;
  EXPECT_LE(tty->Now() - before, 2 * 100ms + 1ms);  // each silent adapter given up on in time
  EXPECT_EQ((*silentOnly)->Name(), "opendmx:" + node("ttyUSB2"));  // by number, not by text
  silentOnly->reset();
  for (const char* asked : {"ttyUSB2", "ttyUSB10"})  // each asked once, by udev's name or sysfs alone
    EXPECT_EQ(tty->Written(node(asked)), (Bytes{0x7E, 0x0A, 0x00, 0x00, 0xE7}));

  // A widget receiving DMX reports it first; noise, a header whose length runs past the end and
  // a reply cut in two must not hide the serial number.
  tty->Setup(node("ttyUSB10")).answer = {{0x00, 0x7E, 0x7E, 0x05, 0x02, 0x00, 0x00, 0x11, 0xE7, 0x7E, 0x0A, 0x50, 0x00},
                                         {0x7E, 0x0A, 0x04, 0x00, 0x21}, {0x43, 0x65, 0x00, 0xE7}};
  auto found = finder.Find(100ms);
  ASSERT_TRUE(found) << found.error().message;
  EXPECT_EQ((*found)->Name(), "pro:" + node("ttyUSB10"));
  for (const char* untouched : {"ttyUSB0", "ttyUSB5"}) EXPECT_TRUE(tty->Events(node(untouched)).empty());
}
