// Finding interfaces over a fake sysfs and /dev/serial/by-id in a temporary folder.
#include "outputs/InterfaceFinder.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string Hex(std::uint16_t id) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x\n", id);
  return text;
}

// A temporary system: <root>/sys and <root>/dev laid out as the kernel and udev do.
class CFakeSystem {
 public:
  CFakeSystem() {
    static int count = 0;
    m_root = fs::path(::testing::TempDir()) / ("vexmira_finder_" + std::to_string(::getpid()) + "_" + std::to_string(++count));
    fs::remove_all(m_root);
    fs::create_directories(Sys() / "class" / "tty");
    fs::create_directories(Dev());
  }
  ~CFakeSystem() {
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
  }

  fs::path Sys() const { return m_root / "sys"; }
  fs::path Dev() const { return m_root / "dev"; }

  // A tty `name` whose sysfs device sits at `device` (a USB adapter with ids when `vendor` is set),
  // with the class link, a by-id link when `byId` is set, and a device node standing for `node`.
  void AddTty(const std::string& name, std::uint16_t vendor, std::uint16_t product, bool byId,
              const fs::path& node = "/dev/null") {
    const fs::path usb = Sys() / "devices" / "pci0000:00" / "usb1" / ("1-" + name);
    const fs::path port = vendor ? usb / ("1-" + name + ":1.0") / name : Sys() / "devices" / "platform" / "serial8250";
    const fs::path tty = port / "tty" / name;
    fs::create_directories(tty);
    if (vendor) {
      std::ofstream(usb / "idVendor") << Hex(vendor);
      std::ofstream(usb / "idProduct") << Hex(product);
      fs::create_directory_symlink(fs::relative(port, tty), tty / "device");
    }
    fs::create_directory_symlink(fs::relative(tty, Sys() / "class" / "tty"), Sys() / "class" / "tty" / name);
    if (byId) {
      fs::create_directories(Dev() / "serial" / "by-id");
      fs::create_symlink(fs::path("../..") / name, Dev() / "serial" / "by-id" / ("usb-Maker_" + name + "-if00"));
    }
    if (vendor) fs::create_symlink(node, Dev() / name);
  }

 private:
  fs::path m_root;
};

}  // namespace

TEST(InterfaceFinder, ListsUsbSerialDevicesOnceEachWithTheirIds) {
  CFakeSystem system;
  system.AddTty("ttyUSB0", 0x0403, 0x6001, true);
  system.AddTty("ttyUSB10", 0x0403, 0x6011, false);  // no udev link: sysfs alone
  system.AddTty("ttyUSB2", 0x1a86, 0x7523, true);
  system.AddTty("ttyS0", 0, 0, false);  // a built-in port, no USB device
  // A by-id link whose device sysfs does not know: listed, ids unknown.
  fs::create_symlink("../../ttyACM0", system.Dev() / "serial" / "by-id" / "usb-Other_Board-if00");

  std::vector<std::tuple<std::string, std::string, int, int>> found;
  for (const CSerialDevice& device : CInterfaceFinder(system.Sys(), system.Dev()).Devices()) {
    found.emplace_back(device.name, device.path, device.vendor, device.product);
  }
  auto dev = [&](const char* name) { return (system.Dev() / name).string(); };
  EXPECT_EQ(found, (std::vector<std::tuple<std::string, std::string, int, int>>{
                       {"ttyACM0", dev("ttyACM0"), 0, 0},
                       {"ttyUSB0", dev("ttyUSB0"), 0x0403, 0x6001},
                       {"ttyUSB2", dev("ttyUSB2"), 0x1a86, 0x7523},
                       {"ttyUSB10", dev("ttyUSB10"), 0x0403, 0x6011}}));  // by number, not by text
}

TEST(ThreadedInterfaceFinder, AnsweringProWidgetFirstThenASilentFtdiAsOpenDmxAndOtherDevicesAreLeftAlone) {
  const Bytes request{0x7E, 0x0A, 0x00, 0x00, 0xE7};
  CPtyPair other;
  CPtyPair ftdi;
  CPtyPair widget([&](const Bytes& received) {
    return received == request ? Bytes{0x7E, 0x0A, 0x04, 0x00, 0x01, 0x02, 0x03, 0x04, 0xE7} : Bytes{};
  });
  CFakeSystem system;
  system.AddTty("ttyUSB0", 0x10c4, 0xea60, true, other.SlavePath());  // not FTDI: never written to
  system.AddTty("ttyUSB1", 0x0403, 0x6011, true, ftdi.SlavePath());
  auto control = std::make_shared<CRecordingControl>();
  const auto start = TestClock::now();
  auto silentOnly = CInterfaceFinder(system.Sys(), system.Dev(), control).Find(100ms);
  EXPECT_LT(TestClock::now() - start, 2s);  // one bounded probe, not a hang
  ASSERT_TRUE(silentOnly) << silentOnly.error().message;
  EXPECT_EQ((*silentOnly)->Name(), "opendmx:" + (system.Dev() / "ttyUSB1").string());
  ASSERT_TRUE(ftdi.WaitForBytes(5));
  EXPECT_EQ(ftdi.Received(), request);
  const auto settings = control->Events(CTtyEvent::EKind::Configure);  // set up for DMX after the probe
  ASSERT_FALSE(settings.empty());
  EXPECT_EQ(settings.back().settings, (CTtySettings{250000, 2}));
  silentOnly->reset();

  system.AddTty("ttyUSB2", 0x0403, 0x6001, true, widget.SlavePath());
  auto found = CInterfaceFinder(system.Sys(), system.Dev(), control).Find(100ms);
  ASSERT_TRUE(found) << found.error().message;
  EXPECT_EQ((*found)->Name(), "pro:" + (system.Dev() / "ttyUSB2").string());
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(other.Received().empty());
}

TEST(InterfaceFinder, NothingUsableIsAnErrorThatSaysWhy) {
  CFakeSystem empty;
  auto none = CInterfaceFinder(empty.Sys(), empty.Dev()).Find(10ms);
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().message.find("No DMX interface found"), std::string::npos) << none.error().message;

  CFakeSystem others;
  others.AddTty("ttyUSB0", 0x067b, 0x2303, true);
  EXPECT_FALSE(CInterfaceFinder(others.Sys(), others.Dev()).Find(10ms));

  // An adapter that is there but may not be opened: the message names the fix.
  CFakeSystem denied;
  denied.AddTty("ttyUSB0", 0x0403, 0x6001, true);
  auto control = std::make_shared<CRecordingControl>();
  control->FailOpen((denied.Dev() / "ttyUSB0").string(), std::errc::permission_denied);
  auto refused = CInterfaceFinder(denied.Sys(), denied.Dev(), control).Find(10ms);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("dialout"), std::string::npos) << refused.error().message;
  EXPECT_NE(refused.error().message.find("60-vexmira-dmx.rules"), std::string::npos) << refused.error().message;
}
