// Finding interfaces over a fake sysfs and /dev/serial/by-id in a private temporary folder.
#include "outputs/InterfaceFinder.h"

#include "FakeTty.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A USB serial adapter's tty (ids in hex) under <root>/sys as the kernel lays it out, and in
// <root>/dev/serial/by-id when udev named it.
void AddTty(const fs::path& root, const std::string& name, const char* vendor, const char* product, bool byId = true) {
  const fs::path usb = root / "sys" / "devices" / ("usb-" + name), tty = root / "sys" / "class" / "tty" / name;
  fs::create_directories(usb / "1-1:1.0");
  fs::create_directories(tty);
  fs::create_directories(root / "dev" / "serial" / "by-id");
  std::ofstream(usb / "idVendor") << vendor << "\n";
  std::ofstream(usb / "idProduct") << product << "\n";
  fs::create_directory_symlink(usb / "1-1:1.0", tty / "device");
  if (byId) fs::create_symlink("../../" + name, root / "dev" / "serial" / "by-id" / ("usb-Maker_" + name + "-if00"));
}

}  // namespace

TEST(ThreadedInterfaceFinder, AnAnsweringWidgetComesFirstThenTheFirstUsableAdapterAndOtherDevicesAreNeverTouched) {
  const CTempFolder folder;
  const fs::path& root = folder.Path();
  const auto node = [&](const char* name) { return (root / "dev" / name).string(); };
  auto tty = std::make_shared<CFakeTty>();
  const CInterfaceFinder finder(root / "sys", root / "dev", tty);
  AddTty(root, "ttyUSB0", "10c4", "ea60");  // not FTDI
  auto none = finder.Find(100ms);
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().message.find("No DMX interface found"), std::string::npos) << none.error().message;

  AddTty(root, "ttyUSB1", "0403", "6001");  // there, but may not be opened: the error names the fix
  tty->Setup(node("ttyUSB1")).openError = std::errc::permission_denied;
  auto refused = finder.Find(100ms);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("dialout"), std::string::npos) << refused.error().message;

  AddTty(root, "ttyUSB10", "0403", "6001", false);
  AddTty(root, "ttyUSB2", "0403", "6011");
  AddTty(root, "ttyUSB3", "0403", "6001");  // held by another program
  tty->Setup(node("ttyUSB3")).openError = std::errc::device_or_resource_busy;
  AddTty(root, "ttyUSB4", "0403", "6015");  // FTDI, but not a chip DMX interfaces use
  auto silentOnly = finder.Find(100ms);
  ASSERT_TRUE(silentOnly) << silentOnly.error().message;
  EXPECT_EQ((*silentOnly)->Name(), "opendmx:" + node("ttyUSB2"));  // by number, not by text
  silentOnly->reset();
  for (const char* asked : {"ttyUSB2", "ttyUSB10"})  // each asked once, by udev's name or sysfs alone
    EXPECT_EQ(tty->Written(node(asked)), (Bytes{0x7E, 0x0A, 0x00, 0x00, 0xE7}));

  tty->Setup(node("ttyUSB10")).answer = {{0x7E, 0x0A, 0x04, 0x00, 0x01, 0x02, 0x03, 0x04, 0xE7}};
  auto found = finder.Find(100ms);
  ASSERT_TRUE(found) << found.error().message;
  EXPECT_EQ((*found)->Name(), "pro:" + node("ttyUSB10"));
  for (const char* untouched : {"ttyUSB0", "ttyUSB4"}) EXPECT_TRUE(tty->Events(node(untouched)).empty());
}
