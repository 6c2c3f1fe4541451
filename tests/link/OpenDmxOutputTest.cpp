// The open-DMX output on a pseudo-terminal: bytes on the wire, break timing, queueing, faults.
#include "link/DmxLine.h"
#include "link/OpenDmxOutput.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

namespace {

using EKind = CTtyEvent::EKind;
using namespace std::chrono_literals;

std::unique_ptr<COpenDmxOutput> OpenOn(const CPtyPair& pty, const std::shared_ptr<CRecordingControl>& control) {
  auto output = COpenDmxOutput::Open(pty.SlavePath(), control);
  EXPECT_TRUE(output) << output.error().message;
  return output ? std::move(*output) : nullptr;
}

CDmxFrame Frame(std::uint8_t startCode, std::vector<std::uint8_t> slots) {
  CDmxFrame frame;
  frame.startCode = startCode;
  frame.slots = std::move(slots);
  return frame;
}

// One frame as the recording saw it: break on, break off, the writes, the drain.
struct CWireFrame {
  TestClock::time_point breakOn, breakOff, firstWrite, drained;
  std::vector<std::uint8_t> bytes;
};

std::vector<CWireFrame> WireFrames(const std::vector<CTtyEvent>& events) {
  std::vector<CWireFrame> frames;
  for (const CTtyEvent& event : events) {
    switch (event.kind) {
      case EKind::BreakOn:
        frames.push_back({});
        frames.back().breakOn = event.time;
        break;
      case EKind::BreakOff:
        if (!frames.empty()) frames.back().breakOff = event.time;
        break;
      case EKind::Write:
        if (frames.empty()) break;
        if (frames.back().bytes.empty()) frames.back().firstWrite = event.time;
        frames.back().bytes.insert(frames.back().bytes.end(), event.bytes.begin(), event.bytes.end());
        break;
      case EKind::Drain:
        if (!frames.empty()) frames.back().drained = event.time;
        break;
      case EKind::Configure:
        break;
    }
  }
  return frames;
}

}  // namespace

TEST(ThreadedOpenDmxOutput, EveryLengthArrivesByteForByteAfterABreakAndAMark) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  auto output = OpenOn(pty, control);
  ASSERT_TRUE(output);
  EXPECT_EQ(output->Name(), "opendmx:" + pty.SlavePath());
  EXPECT_TRUE(output->Answers(0x8888, 0x0101));
  EXPECT_FALSE(output->Answers(0x8888, 0x0102));
  EXPECT_TRUE(output->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559}));

  const std::vector<CDmxFrame> frames{Frame(0xFC, {0x12, 0x34}), Frame(0xFE, Pattern(512, 1)),
                                      Frame(0xF9, Pattern(559, 2)), Frame(0x00, Pattern(512, 3))};
  std::vector<std::uint8_t> expected;
  for (const CDmxFrame& frame : frames) {
    output->Send(frame);
    const auto bytes = WireBytes(frame.startCode, frame.slots);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  output->Flush(5s);
  ASSERT_TRUE(pty.WaitForBytes(expected.size()));
  EXPECT_EQ(pty.Received(), expected);
  EXPECT_EQ(output->WrittenCount(), frames.size());

  const auto configured = control->EventsOf(EKind::Configure);
  ASSERT_EQ(configured.size(), 1u);
  EXPECT_EQ(configured[0].settings, (CTtySettings{250000, 2}));

  const auto wire = WireFrames(control->Events());
  ASSERT_EQ(wire.size(), frames.size());
  for (std::size_t i = 0; i < wire.size(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    EXPECT_EQ(wire[i].bytes, WireBytes(frames[i].startCode, frames[i].slots));
    EXPECT_GE(wire[i].breakOff - wire[i].breakOn, 92us);
    EXPECT_GE(wire[i].firstWrite - wire[i].breakOff, 12us);
    EXPECT_GE(wire[i].drained, wire[i].firstWrite);
    if (i > 0) {
      // No break cuts into the previous frame: it drained and had its wire time first.
      const auto wireTime = 44us * static_cast<int>(wire[i - 1].bytes.size());
      EXPECT_GE(wire[i].breakOn, wire[i - 1].drained);
      EXPECT_GE(wire[i].breakOn - wire[i - 1].breakOff, 12us + wireTime);
    }
  }
}

TEST(ThreadedOpenDmxOutput, CommandFramesGivenAtOnceAllArriveInOrder) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  CDmxLine line;
  line.SetOutput(OpenOn(pty, control));
  ASSERT_EQ(line.SetMode(0xA5, 0xFC, 0, 2), 0);
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 255; ++i) {
    line.SetChannelValue(0, i / 16);
    line.StartWithChannelValue(1, i);
    expected.insert(expected.end(), {0xFC, static_cast<std::uint8_t>(i / 16), static_cast<std::uint8_t>(i)});
  }
  // Stand-by right away stops later starts, never the frames already started.
  line.StandBy();
  for (int i = 0; i < 5; ++i) line.Start();
  line.Flush(10s);
  ASSERT_TRUE(pty.WaitForBytes(expected.size()));
  EXPECT_EQ(pty.Received(), expected);
  EXPECT_EQ(WireFrames(control->Events()).size(), 255u);
}

TEST(ThreadedOpenDmxOutput, LevelFramesQueuedBehindTheWireAreCoalescedToTheNewest) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  auto output = OpenOn(pty, control);
  ASSERT_TRUE(output);
  // 200 level frames and one command frame in the middle, far faster than the wire takes them.
  auto level = [](int n) {
    auto slots = Pattern(512, n);
    slots[0] = static_cast<std::uint8_t>(n);
    slots[1] = static_cast<std::uint8_t>(n >> 8);
    return Frame(0x00, std::move(slots));
  };
  for (int n = 0; n < 100; ++n) output->Send(level(n));
  output->Send(Frame(0xFE, Pattern(512, 0xEE)));
  for (int n = 100; n < 200; ++n) output->Send(level(n));
  output->Flush(5s);

  const auto wire = WireFrames(control->Events());
  ASSERT_GE(wire.size(), 3u);
  EXPECT_LT(wire.size(), 50u);  // most level frames were replaced while they waited
  EXPECT_EQ(output->WrittenCount() + output->CoalescedCount(), 201u);
  int previous = -1;
  bool commandSeen = false;
  for (std::size_t i = 0; i < wire.size(); ++i) {
    const auto& bytes = wire[i].bytes;
    ASSERT_EQ(bytes.size(), 513u);
    if (bytes[0] == 0xFE) {
      EXPECT_FALSE(commandSeen);
      commandSeen = true;
      // The levels go out as they stood when the command was given, never after it.
      ASSERT_GT(i, 0u);
      EXPECT_EQ(previous, 99);
      EXPECT_EQ(bytes, WireBytes(0xFE, Pattern(512, 0xEE)));
      continue;
    }
    ASSERT_EQ(bytes[0], 0x00);
    const int n = bytes[1] | (bytes[2] << 8);
    EXPECT_GT(n, previous);  // never an older state after a newer one
    EXPECT_EQ(bytes, WireBytes(0x00, level(n).slots));
    previous = n;
  }
  EXPECT_TRUE(commandSeen);
  EXPECT_EQ(previous, 199);  // the newest levels reached the wire
}

TEST(ThreadedOpenDmxOutput, FlushWaitsAtMostItsLimitAndClosingDropsWhatIsStillQueued) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  auto output = OpenOn(pty, control);
  ASSERT_TRUE(output);
  for (int i = 0; i < 100; ++i) output->Send(Frame(0xF9, Pattern(559, i)));  // 2.5 s of wire time
  auto before = TestClock::now();
  output->Flush(100ms);
  EXPECT_LT(TestClock::now() - before, 1s);
  EXPECT_LT(output->WrittenCount(), 100u);
  before = TestClock::now();
  output.reset();  // the frame on the wire finishes; the rest is dropped
  EXPECT_LT(TestClock::now() - before, 1s);
  const auto frames = WireFrames(control->Events());
  EXPECT_LT(frames.size(), 100u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].bytes, WireBytes(0xF9, Pattern(559, static_cast<int>(i))));  // whole frames only
  }
}

TEST(ThreadedOpenDmxOutput, UnpluggedDeviceIsReportedOnceAndNothingHangs) {
  std::mutex mutex;
  std::vector<std::string> reports;
  std::atomic<std::thread::id> reportThread;
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  CDmxLine line;
  line.SetFaultHandler([&](const CError& error) {
    std::lock_guard lock(mutex);
    reports.push_back(error.message);
    reportThread = std::this_thread::get_id();
  });
  auto output = OpenOn(pty, control);
  ASSERT_TRUE(output);
  const std::string name = output->Name();
  line.SetOutput(std::move(output));
  ASSERT_EQ(line.SetMode(0xA5, 0, 0, 512), 0);

  // A console tick feeding frames, as it would while the cable is pulled.
  std::atomic<bool> ticking{true};
  std::thread tick([&] {
    while (ticking) {
      line.StartWithChannelValue(0, 1);
      std::this_thread::sleep_for(1ms);
    }
  });
  const bool running = pty.WaitForBytes(3 * 513);
  pty.CloseMaster();
  const auto unplugged = TestClock::now();
  std::this_thread::sleep_for(300ms);  // many more ticks after the fault
  ticking = false;
  tick.join();
  ASSERT_TRUE(running);
  ASSERT_EQ(line.SetMode(0xA5, 0xF9, 6, 559), 0);  // the line goes on taking calls
  for (int i = 0; i < 20; ++i) line.Start();

  const auto before = TestClock::now();
  line.Flush(1500ms);
  EXPECT_LT(TestClock::now() - before, 1000ms);  // a dead device is not waited for
  {
    std::lock_guard lock(mutex);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(name), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find("stopped working"), std::string::npos) << reports[0];
    EXPECT_NE(reportThread.load(), std::this_thread::get_id());
  }
  // After the failing frame nothing more was even tried.
  const auto events = control->Events();
  const auto framesTriedAfterUnplug = std::count_if(events.begin(), events.end(), [&](const CTtyEvent& e) {
    return e.kind == EKind::BreakOn && e.time > unplugged;
  });
  EXPECT_LE(framesTriedAfterUnplug, 1);
  line.Reset();  // stops the writer: returns rather than hangs
}

TEST(ThreadedOpenDmxOutput, FaultBeforeTheHandlerIsSetIsReportedWhenItIs) {
  CPtyPair pty;
  auto output = OpenOn(pty, std::make_shared<CRecordingControl>());
  ASSERT_TRUE(output);
  pty.CloseMaster();
  output->Send(Frame(0xFE, Pattern(512, 0)));
  for (int i = 0; i < 200 && !output->Fault(); ++i) std::this_thread::sleep_for(5ms);
  ASSERT_TRUE(output->Fault());
  int reports = 0;
  output->SetFaultHandler([&](const CError&) { ++reports; });
  output->SetFaultHandler([&](const CError&) { ++reports; });
  output->Send(Frame(0xFE, Pattern(512, 0)));
  output->Flush(1s);
  EXPECT_EQ(reports, 1);
}

TEST(OpenDmxOutput, OpenErrorsNameTheDeviceAndTheFix) {
  auto control = std::make_shared<CRecordingControl>();
  control->FailOpen("/dev/ttyUSB7", std::errc::permission_denied);
  auto denied = COpenDmxOutput::Open("/dev/ttyUSB7", control);
  ASSERT_FALSE(denied);
  EXPECT_NE(denied.error().message.find("/dev/ttyUSB7"), std::string::npos);
  EXPECT_NE(denied.error().message.find("dialout"), std::string::npos) << denied.error().message;
  EXPECT_NE(denied.error().message.find("res/60-vexmira-dmx.rules"), std::string::npos) << denied.error().message;

  control->FailOpen("/dev/ttyUSB8", std::errc::device_or_resource_busy);
  auto busy = COpenDmxOutput::Open("/dev/ttyUSB8", control);
  ASSERT_FALSE(busy);
  EXPECT_NE(busy.error().message.find("in use"), std::string::npos) << busy.error().message;

  auto missing = COpenDmxOutput::Open("/dev/vexmira-no-such-tty");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().message.find("no such device"), std::string::npos) << missing.error().message;

  const std::string plain = ::testing::TempDir() + "vexmira_not_a_tty";
  std::ofstream(plain) << "x";
  auto notTty = COpenDmxOutput::Open(plain);
  ASSERT_FALSE(notTty);
  EXPECT_NE(notTty.error().message.find("not a serial device"), std::string::npos) << notTty.error().message;
}
