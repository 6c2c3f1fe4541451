// The open-DMX output on a device in memory: what reaches the wire, and when.
#include "outputs/OutputFactory.h"

#include "FakeTty.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace std::chrono_literals;
using EKind = CFakeTty::EKind;

TEST(ThreadedOpenDmxOutput, EachFrameIsABreakAMarkThenStartCodeAndSlotsPacedByTheWire) {
  auto tty = std::make_shared<CFakeTty>();
  auto output = MakeOutput("opendmx:/dev/ttyUSB0", tty);
  ASSERT_TRUE(output) << output.error().message;
  EXPECT_TRUE((*output)->AcceptsMode(CDmxMode{kLinkMark, 0xF9, 6, 559}));
  Bytes slots(559);
  std::iota(slots.begin(), slots.end(), 1);
  const std::vector<CDmxFrame> frames{{0, 0xFC, 0, {0x12, 0x34}}, {0, 0xF9, 0, slots},
                                      {0, 0x00, 0, Bytes(slots.begin(), slots.begin() + 512)}, {0, 0x17, 0, {0x0A}}};
  for (const CDmxFrame& frame : frames) (*output)->Send(frame);
  (*output)->Flush(5s);

  // Set up for DMX with the line left in mark; then each frame: break, mark, bytes, drain.
  auto events = tty->Events("/dev/ttyUSB0");
  std::vector<EKind> kinds{EKind::Configure, EKind::BreakOff};
  for (std::size_t i = 0; i < frames.size(); ++i) kinds.insert(kinds.end(), {EKind::BreakOn, EKind::BreakOff, EKind::Write, EKind::Drain});
  std::vector<EKind> seen;
  for (const CFakeTty::CEvent& event : events) seen.push_back(event.kind);
  ASSERT_EQ(seen, kinds);
  EXPECT_EQ(events[0].settings, (CTtySettings{250000, 2}));
  events.push_back({EKind::BreakOn, tty->Now()});  // where a next frame could start
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const CFakeTty::CEvent *breakOn = &events[2 + 4 * i], *breakOff = breakOn + 1, *write = breakOn + 2, *next = breakOn + 4;
    const auto wireTime = 44us * static_cast<int>(write->bytes.size());
    EXPECT_EQ(write->bytes, frames[i].StartCodeAndSlots()) << i;
    EXPECT_GE(breakOff->time - breakOn->time, 92us) << i;
    EXPECT_GE(write->time - breakOff->time, 12us) << i;
    EXPECT_GE(next->time - write->time, wireTime) << i;  // the next break never cuts into the frame
    EXPECT_LT(next->time - breakOn->time, 92us + 12us + wireTime + 100us) << i;  // yet no time is lost
  }
}
