// The Pro-widget output on a device in memory: label-6 messages, the 512-slot limit, the probe.
#include "link/DmxLine.h"
#include "outputs/OutputFactory.h"
#include "outputs/ProOutput.h"

#include "FakeTty.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(ThreadedProOutput, FramesGoOutAsLabelSixMessagesOneFrameTimeApartAndAtMost512Slots) {
  auto tty = std::make_shared<CFakeTty>();
  auto output = MakeOutput("pro:/dev/ttyUSB0", tty);
  ASSERT_TRUE(output) << output.error().message;
  CDmxLine line;
  line.SetOutput(std::move(*output));
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0xFC, 0, 2), 0);
  line.DmxLinkTransmitSetChannelValue(0, 0x12);
  line.DmxLinkTransmitStartWithChannelValue(1, 0x34);
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0x00, 0, 512), 0);
  line.DmxLinkTransmitStartWithChannelValue(511, 0xE7);  // the end byte inside the data changes nothing
  // A message holds 512 slots: a longer mode is refused with the reason and the way out.
  EXPECT_NE(line.DmxLinkSetMode(kLinkMark, 0xF9, 6, 559), 0);
  for (const std::string part : {"pro:/dev/ttyUSB0", "at most 512 slots", "559", "opendmx:"}) {
    EXPECT_NE(line.LastError().find(part), std::string::npos) << line.LastError();
  }
  line.Flush(5s);

  Bytes full{0x7E, 0x06, 0x01, 0x02, 0x00, 0x12, 0x34};  // length 513 = 0x0201, low byte first
  full.resize(5 + 511);
  full.insert(full.end(), {0xE7, 0xE7});
  const auto writes = tty->Events("/dev/ttyUSB0", CFakeTty::EKind::Write);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].bytes, (Bytes{0x7E, 0x06, 0x03, 0x00, 0xFC, 0x12, 0x34, 0xE7}));
  EXPECT_EQ(writes[1].bytes, full);
  // The widget keeps only the newest frame: each is handed over once the one before had its wire time.
  EXPECT_GE(writes[1].time - writes[0].time, 92us + 12us + 44us * 3);
  EXPECT_GE(tty->Now() - writes[1].time, 92us + 12us + 44us * 513);
  EXPECT_TRUE(tty->Events("/dev/ttyUSB0", CFakeTty::EKind::BreakOn).empty());  // the widget makes the break
  EXPECT_EQ(tty->Events("/dev/ttyUSB0", CFakeTty::EKind::Configure).at(0).settings, (CTtySettings{115200, 1}));
}

TEST(ProOutput, TheProbeReadsAWidgetsSerialNumberAndGivesUpOnASilentDeviceInTime) {
  auto tty = std::make_shared<CFakeTty>();
  // A widget receiving DMX reports it first; noise, a header whose length runs past the end and
  // a reply cut in two must not hide the serial number.
  tty->Setup("/dev/widget").answer = {{0x00, 0x7E, 0x7E, 0x05, 0x02, 0x00, 0x00, 0x11, 0xE7, 0x7E, 0x0A, 0x50, 0x00},
                                       {0x7E, 0x0A, 0x04, 0x00, 0x21}, {0x43, 0x65, 0x00, 0xE7}};
  auto widget = CTtyPort::Open("/dev/widget", tty);
  auto silent = CTtyPort::Open("/dev/silent", tty);
  ASSERT_TRUE(widget && silent);
  EXPECT_EQ(CProOutput::ProbeSerialNumber(**widget, 200ms), 0x00654321u);
  const auto asked = tty->Now();
  EXPECT_FALSE(CProOutput::ProbeSerialNumber(**silent, 200ms));
  EXPECT_LE(tty->Now() - asked, 200ms);
}
