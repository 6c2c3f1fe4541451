// The open-DMX output on a device in memory: what reaches the wire, and when.
#include "outputs/OutputFactory.h"

#include "FakeTty.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using EKind = CFakeTty::EKind;

TEST(ThreadedOpenDmxOutput, EachFrameIsABreakAMarkThenStartCodeAndSlotsPacedByTheWire) {
  auto tty = std::make_shared<CFakeTty>();
  auto output = MakeOutput("opendmx:/dev/ttyUSB0", tty);
  ASSERT_TRUE(output) << output.error().message;
  EXPECT_TRUE((*output)->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559}));
  Bytes pattern(559);
  for (std::size_t i = 0; i < pattern.size(); ++i) pattern[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const std::vector<CDmxFrame> frames{{0, 0xFC, 0, {0x12, 0x34}}, {0, 0xF9, 0, pattern},
                                      {0, 0x00, 0, Bytes(pattern.begin(), pattern.begin() + 512)}, {0, 0x17, 0, {0x0A}}};
  for (const CDmxFrame& frame : frames) (*output)->Send(frame);
  (*output)->Flush(5s);

  auto events = tty->Events("/dev/ttyUSB0");
  ASSERT_GE(events.size(), 2u);  // set up for DMX, the line left in mark until the first frame
  EXPECT_EQ(events[0].settings, (CTtySettings{250000, 2}));
  EXPECT_EQ(events[1].kind, EKind::BreakOff);
  events.push_back({EKind::BreakOn, tty->Now()});  // where a next frame could start
  std::size_t at = 2;
  for (const CDmxFrame& frame : frames) {
    SCOPED_TRACE("frame with start code " + std::to_string(frame.startCode));
    ASSERT_TRUE(at + 4 < events.size() && events[at].kind == EKind::BreakOn && events[at + 1].kind == EKind::BreakOff);
    const auto breakOn = events[at].time, breakOff = events[at + 1].time, firstWrite = events[at + 2].time;
    EXPECT_GE(breakOff - breakOn, 92us);
    EXPECT_GE(firstWrite - breakOff, 12us);
    Bytes bytes;
    for (at += 2; events[at].kind == EKind::Write; ++at) bytes.insert(bytes.end(), events[at].bytes.begin(), events[at].bytes.end());
    EXPECT_EQ(bytes, frame.StartCodeAndSlots());
    // The next break never cuts into the frame: the driver drained, and the bytes had their wire time.
    EXPECT_EQ(events[at++].kind, EKind::Drain);
    const auto next = events[at].time;
    EXPECT_GE(next - firstWrite, 44us * static_cast<int>(bytes.size()));
    EXPECT_LT(next - breakOn, 92us + 12us + 44us * static_cast<int>(bytes.size()) + 100us);  // yet no time is lost
  }
  EXPECT_EQ(at, events.size() - 1);
}
