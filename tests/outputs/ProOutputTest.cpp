// The Pro-widget output driving a model of the widget on a device in memory.
#include "link/DmxLine.h"
#include "outputs/OutputFactory.h"

#include "FakeTty.h"
#include "support/ProWidgetModel.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(ThreadedProOutput, EveryFrameReachesTheWidgetsWireWhichRepeatsLevelsUntilStandByOrClose) {
  auto tty = std::make_shared<CFakeTty>();
  CProWidgetModel widget;
  tty->Setup("/dev/ttyUSB0").peer = [&](const Bytes& bytes, auto now) { return widget.Receive(bytes, now); };
  auto output = MakeOutput("pro:/dev/ttyUSB0", tty);
  ASSERT_TRUE(output) << output.error().message;
  CDmxLine line;
  line.SetOutput(std::move(*output));
  const auto sent = [&](const Bytes& data) {
    return std::ranges::count(widget.Wire(tty->Now()), data, &CProWidgetModel::CPacket::data);
  };

  // Console levels go on being sent between the program's frames, and stop with stand-by.
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0x00, 0, 512), 0);
  line.DmxLinkTransmitStartWithChannelValue(511, 0xE7);  // the end byte inside the data changes nothing
  line.Flush(5s);
  tty->WaitUntil(tty->Now() + 100ms);
  Bytes levels(513);
  levels[512] = 0xE7;
  EXPECT_GE(sent(levels), 4);
  line.DmxLinkStandBy();
  line.Flush(5s);
  const std::size_t afterStandBy = widget.Wire(tty->Now()).size();
  tty->WaitUntil(tty->Now() + 100ms);
  EXPECT_EQ(widget.Wire(tty->Now()).size(), afterStandBy);
  // A message holds 512 slots: a longer mode is refused with the reason and the way out.
  EXPECT_NE(line.DmxLinkSetMode(kLinkMark, 0xF9, 6, 559), 0);
  for (const std::string part : {"pro:/dev/ttyUSB0", "at most 512 slots", "559", "opendmx:"}) {
    EXPECT_NE(line.LastError().find(part), std::string::npos) << line.LastError();
  }

  // Automatic addressing's 255 frames of 2 slots, padded to the 24 slots widgets take at least,
  // each handed over once the widget has sent the one before; closing stops the last.
  line.DmxLinkTransmitSetChannelValue(0, 0x01);
  line.DmxLinkTransmitSetChannelValue(1, 0x00);
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0xFC, 0, 2), 0);
  for (int i = 0; i < 255; ++i) line.DmxLinkTransmitStart();
  line.Flush(5s);
  Bytes address(25);
  address[0] = 0xFC, address[1] = 0x01;
  EXPECT_GE(sent(address), 255);
  line.SetOutput(nullptr);
  const std::size_t afterClose = widget.Wire(tty->Now()).size();
  tty->WaitUntil(tty->Now() + 100ms);
  EXPECT_EQ(widget.Wire(tty->Now()).size(), afterClose);

  // Asked for its rate at open and stopped there, as the line starts in stand-by.
  std::vector<int> labels{3, 8, 6, 8};
  labels.insert(labels.end(), 255, 6);
  labels.push_back(8);
  EXPECT_EQ(widget.labels, labels);
  EXPECT_EQ(widget.rejected, 0);
  EXPECT_EQ(tty->Events("/dev/ttyUSB0", CFakeTty::EKind::Configure).at(0).settings, (CTtySettings{115200, 1}));
}
