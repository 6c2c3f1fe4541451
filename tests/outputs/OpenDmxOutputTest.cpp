// The open-DMX output on a device in memory: what reaches the wire and when; slow breaks, RS-485 mode, RTS.
#include "outputs/OutputFactory.h"

#include "FakeTty.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace std::chrono_literals;
using EKind = CFakeTty::EKind;

namespace {

std::vector<EKind> Kinds(const std::vector<CFakeTty::CEvent>& events) {
  std::vector<EKind> kinds;
  for (const CFakeTty::CEvent& event : events) kinds.push_back(event.kind);
  return kinds;
}

}  // namespace

TEST(ThreadedOpenDmxOutput, EachFrameIsABreakAMarkThenStartCodeAndSlotsPacedByTheWire) {
  auto tty = std::make_shared<CFakeTty>();
  auto output = MakeOutput("opendmx:/dev/ttyUSB0", tty);
  ASSERT_TRUE(output) << output.error().message;
  EXPECT_TRUE((*output)->AcceptsMode(CDmxMode{kLinkMark, 0xF9, 6, 559}));
  Bytes slots(559);
  std::iota(slots.begin(), slots.end(), 1);
  const std::vector<CDmxFrame> frames{{0, 0xFC, 0, {0x12, 0x34}}, {0, 0xF9, 0, slots},
                                      {0, 0x00, 0, Bytes(slots.begin(), slots.begin() + 512)}, {0, 0x17, 0, {0x0A}},
                                      {0, 0xFC, 0, {0x12, 0x34}}};
  for (const CDmxFrame& frame : frames) (*output)->Send(frame);
  (*output)->Flush(5s);

  // Set up for DMX with a break timed at open (which also ends one left on); then each frame:
  // break, mark, bytes, and no drain of our own (the next break waits for the driver anyway).
  auto events = tty->Events("/dev/ttyUSB0");
  std::vector<EKind> kinds{EKind::Configure, EKind::BreakOn, EKind::BreakOff};
  for (std::size_t i = 0; i < frames.size(); ++i) kinds.insert(kinds.end(), {EKind::BreakOn, EKind::BreakOff, EKind::Write});
  ASSERT_EQ(Kinds(events), kinds);
  EXPECT_EQ(events[0].settings, (CTtySettings{250000, 2}));
  EXPECT_FALSE(tty->Setup("/dev/ttyUSB0").rts);  // open-DMX adapters expect RTS cleared
  events.push_back({EKind::BreakOn, tty->Now()});  // where a next frame could start
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const CFakeTty::CEvent *breakOn = &events[3 + 3 * i], *breakOff = breakOn + 1, *write = breakOn + 2, *next = breakOn + 3;
    const auto wireTime = 44us * static_cast<int>(write->bytes.size());
    EXPECT_EQ(write->bytes, frames[i].StartCodeAndSlots()) << i;
    EXPECT_GE(breakOff->time - breakOn->time, 92us) << i;
    EXPECT_GE(write->time - breakOff->time, 12us) << i;
    EXPECT_GE(next->time - write->time, wireTime) << i;  // the next break never cuts into the frame
    EXPECT_TRUE(i + 1 == frames.size() || next->time - breakOn->time >= 1204us) << i;  // nor sooner than receivers allow
    EXPECT_LT(next->time - breakOn->time, std::max<CFakeTty::Clock::duration>(92us + 12us + wireTime, 1204us) + 100us)
        << i;  // yet no time is lost
  }
}

TEST(ThreadedOpenDmxOutput, ASlowBreakIsMadeAtALowerSpeedOrRefusedAndTheRs485ModeComesBackAtClose) {
  auto tty = std::make_shared<CFakeTty>();
  // CH34x chips without a break register: the driver sends a zero byte at 46 baud and ends the
  // break 11 bit times later (drivers/usb/serial/ch341.c); a speed change takes a control transfer.
  tty->Setup("/dev/ch340").breakHeld = 239ms;
  tty->Setup("/dev/ch340").configureTime = 1ms;
  auto ch340 = MakeOutput("opendmx:/dev/ch340", tty);
  ASSERT_TRUE(ch340) << ch340.error().message;
  (*ch340)->Send(CDmxFrame{0, 0x00, 0, {0x42}});
  (*ch340)->Flush(5s);
  auto events = tty->Events("/dev/ch340");
  events.erase(events.begin(), events.end() - 5);
  EXPECT_EQ(Kinds(events), (std::vector{EKind::Configure, EKind::Write, EKind::Drain, EKind::Configure, EKind::Write}));
  EXPECT_EQ(events[0].settings, (CTtySettings{57600, 1}));
  EXPECT_EQ(events[1].bytes, Bytes{0x00});
  EXPECT_GE(events[3].time - events[2].time, 174us);  // the zero byte is out before the speed changes back
  EXPECT_EQ(events[3].settings, (CTtySettings{250000, 2}));
  EXPECT_EQ(events[4].bytes, (Bytes{0x00, 0x42}));

  tty->Setup("/dev/slow").breakHeld = 239ms;  // a chip whose speed changes are slow too
  tty->Setup("/dev/slow").configureTime = 20ms;
  auto slow = MakeOutput("opendmx:/dev/slow", tty);
  ASSERT_FALSE(slow);
  for (const char* part : {"/dev/slow cannot make DMX breaks fast enough", "takes 239 ms for a break", "FTDI"})
    EXPECT_NE(slow.error().message.find(part), std::string::npos) << slow.error().message;

  // In the kernel's RS-485 mode the transceiver stays on between frames, so breaks reach the bus.
  tty->Setup("/dev/rs485").rs485 = CTtyRs485{true, true, false};
  auto rs485 = MakeOutput("opendmx:/dev/rs485", tty);
  ASSERT_TRUE(rs485) << rs485.error().message;
  EXPECT_EQ(tty->Setup("/dev/rs485").rs485, (CTtyRs485{true, true, true}));
  EXPECT_TRUE(tty->Setup("/dev/rs485").rts);  // the driver's to set
  rs485->reset();
  EXPECT_EQ(tty->Setup("/dev/rs485").rs485, (CTtyRs485{true, true, false}));

  EXPECT_TRUE(MakeOutput("opendmx:/dev/ttyUSB1,rts=on", tty) && tty->Setup("/dev/ttyUSB1").rts);
  auto unknown = MakeOutput("opendmx:/dev/ttyUSB1,rts=up", tty);
  EXPECT_EQ(unknown.error().message, "opendmx: unknown option \"rts=up\" (known: rts=on, rts=off)");
}
