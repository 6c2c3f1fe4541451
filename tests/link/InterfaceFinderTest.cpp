// Finding interfaces over a fake sysfs and /dev/serial/by-id in a temporary folder.
#include "link/InterfaceFinder.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string Hex(std::uint16_t id) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", id);
  return text;
}

// A temporary system: <root>/sys and <root>/dev laid out as the kernel and udev do.
class CFakeSystem {
 public:
  CFakeSystem() {
    static int count = 0;
    m_root = fs::path(::testing::TempDir()) / ("vexmira_finder_" + std::to_string(::getpid()) + "_" +
                                                std::to_string(++count));
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

  // A USB serial adapter ttyUSBn: sysfs device tree with its ids, the class link, a by-id link
  // when `byId` is set, and the device node standing for `node` (a pty slave or any file).
  void AddUsbSerial(const std::string& name, std::uint16_t vendor, std::uint16_t product, bool byId,
                    const fs::path& node) {
    const fs::path usb = Sys() / "devices" / "pci0000:00" / "usb1" / ("1-" + name);
    const fs::path port = usb / ("1-" + name + ":1.0") / name;
    fs::create_directories(port / "tty" / name);
    std::ofstream(usb / "idVendor") << Hex(vendor) << "\n";
    std::ofstream(usb / "idProduct") << Hex(product) << "\n";
    fs::create_directory_symlink(fs::relative(port, port / "tty" / name), port / "tty" / name / "device");
    fs::create_directory_symlink(fs::relative(port / "tty" / name, Sys() / "class" / "tty"),
                                 Sys() / "class" / "tty" / name);
    if (byId) {
      fs::create_directories(Dev() / "serial" / "by-id");
      fs::create_symlink(fs::path("..") / ".." / name,
                         Dev() / "serial" / "by-id" / ("usb-Maker_Adapter_" + name + "-if00-port0"));
    }
    fs::create_symlink(node, Dev() / name);
  }
  // A tty that is no USB device (a built-in port).
  void AddPlainTty(const std::string& name) {
    fs::create_directories(Sys() / "devices" / "platform" / "serial8250" / "tty" / name);
    fs::create_directory_symlink(fs::relative(Sys() / "devices" / "platform" / "serial8250" / "tty" / name,
                                              Sys() / "class" / "tty"),
                                 Sys() / "class" / "tty" / name);
  }

 private:
  fs::path m_root;
};

}  // namespace

TEST(InterfaceFinder, ListsUsbSerialDevicesOnceEachWithTheirIds) {
  CFakeSystem system;
  system.AddUsbSerial("ttyUSB0", 0x0403, 0x6001, true, "/dev/null");
  system.AddUsbSerial("ttyUSB10", 0x0403, 0x6011, false, "/dev/null");  // no udev link: sysfs alone
  system.AddUsbSerial("ttyUSB2", 0x1a86, 0x7523, true, "/dev/null");
  system.AddPlainTty("ttyS0");
  // A by-id link whose device sysfs does not know: listed, ids unknown.
  fs::create_symlink("../../ttyACM0", system.Dev() / "serial" / "by-id" / "usb-Other_Board-if00");

  const auto devices = CInterfaceFinder(system.Sys(), system.Dev()).Devices();
  ASSERT_EQ(devices.size(), 4u);
  EXPECT_EQ(devices[0].name, "ttyACM0");
  EXPECT_EQ(devices[0].vendor, 0);
  EXPECT_EQ(devices[1].name, "ttyUSB0");
  EXPECT_EQ(devices[1].path, (system.Dev() / "ttyUSB0").string());
  EXPECT_EQ(devices[1].vendor, 0x0403);
  EXPECT_EQ(devices[1].product, 0x6001);
  EXPECT_EQ(devices[2].name, "ttyUSB2");
  EXPECT_EQ(devices[2].vendor, 0x1a86);
  EXPECT_EQ(devices[2].product, 0x7523);
  EXPECT_EQ(devices[3].name, "ttyUSB10");  // by number, not by text
  EXPECT_EQ(devices[3].product, 0x6011);
}

TEST(ThreadedInterfaceFinder, AProWidgetThatAnswersIsChosenFirst) {
  CPtyPair silentFtdi;
  CPtyPair widget;
  widget.SetResponder([](const std::vector<std::uint8_t>& received) -> std::vector<std::uint8_t> {
    if (received == std::vector<std::uint8_t>{0x7E, 0x0A, 0x00, 0x00, 0xE7}) {
      return {0x7E, 0x0A, 0x04, 0x00, 0x01, 0x02, 0x03, 0x04, 0xE7};
    }
    return {};
  });
  CFakeSystem system;
  system.AddUsbSerial("ttyUSB0", 0x0403, 0x6001, true, silentFtdi.SlavePath());
  system.AddUsbSerial("ttyUSB1", 0x0403, 0x6001, true, widget.SlavePath());
  auto control = std::make_shared<CRecordingControl>();

  auto found = CInterfaceFinder(system.Sys(), system.Dev(), control).Find(100ms);
  ASSERT_TRUE(found) << found.error().message;
  EXPECT_EQ((*found)->Name(), "pro:" + (system.Dev() / "ttyUSB1").string());
  EXPECT_TRUE((*found)->Answers(0x8888, 0x0102));
  EXPECT_FALSE((*found)->Answers(0x8888, 0x0101));
  EXPECT_FALSE((*found)->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559}));
}

TEST(ThreadedInterfaceFinder, SilentFtdiAdapterBecomesOpenDmxAndOtherDevicesAreLeftAlone) {
  CPtyPair other;
  CPtyPair ftdi;
  CFakeSystem system;
  system.AddUsbSerial("ttyUSB0", 0x10c4, 0xea60, true, other.SlavePath());  // not FTDI: never written to
  system.AddUsbSerial("ttyUSB1", 0x0403, 0x6011, true, ftdi.SlavePath());
  auto control = std::make_shared<CRecordingControl>();

  const auto start = TestClock::now();
  auto found = CInterfaceFinder(system.Sys(), system.Dev(), control).Find(100ms);
  const auto took = TestClock::now() - start;
  ASSERT_TRUE(found) << found.error().message;
  EXPECT_EQ((*found)->Name(), "opendmx:" + (system.Dev() / "ttyUSB1").string());
  EXPECT_TRUE((*found)->Answers(0x8888, 0x0101));
  EXPECT_FALSE((*found)->Answers(0x8888, 0x0102));
  EXPECT_LT(took, 2s);  // one bounded probe, not a hang

  ASSERT_TRUE(ftdi.WaitForBytes(5));
  EXPECT_EQ(ftdi.Received(), (std::vector<std::uint8_t>{0x7E, 0x0A, 0x00, 0x00, 0xE7}));
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(other.Received().empty());
  // The open-DMX adapter is set up for DMX after the probe.
  const auto settings = control->EventsOf(CTtyEvent::EKind::Configure);
  ASSERT_FALSE(settings.empty());
  EXPECT_EQ(settings.back().settings, (CTtySettings{250000, 2}));
}

TEST(InterfaceFinder, NothingUsableIsAnErrorThatSaysWhy) {
  CFakeSystem empty;
  auto none = CInterfaceFinder(empty.Sys(), empty.Dev()).Find(10ms);
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().message.find("No DMX interface found"), std::string::npos) << none.error().message;

  CFakeSystem others;
  others.AddUsbSerial("ttyUSB0", 0x067b, 0x2303, true, "/dev/null");
  EXPECT_FALSE(CInterfaceFinder(others.Sys(), others.Dev()).Find(10ms));

  // An adapter that is there but may not be opened: the message names the fix.
  CFakeSystem denied;
  denied.AddUsbSerial("ttyUSB0", 0x0403, 0x6001, true, "/dev/null");
  auto control = std::make_shared<CRecordingControl>();
  control->FailOpen((denied.Dev() / "ttyUSB0").string(), std::errc::permission_denied);
  auto refused = CInterfaceFinder(denied.Sys(), denied.Dev(), control).Find(10ms);
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("dialout"), std::string::npos) << refused.error().message;
  EXPECT_NE(refused.error().message.find("60-vexmira-dmx.rules"), std::string::npos) << refused.error().message;
}
