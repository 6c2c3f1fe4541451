// The open-DMX output on a pseudo-terminal: bytes on the wire, break timing, queueing, faults.
#include "link/DmxLine.h"
#include "outputs/OpenDmxOutput.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

using EKind = CTtyEvent::EKind;
using namespace std::chrono_literals;

std::unique_ptr<COpenDmxOutput> OpenOn(const CPtyPair& pty, const std::shared_ptr<CRecordingControl>& control) {
  auto output = COpenDmxOutput::Open(pty.SlavePath(), control);
  EXPECT_TRUE(output) << output.error().message;
  return output ? std::move(*output) : nullptr;
}

// One frame as the recording saw it: break on, break off, the writes, the drain.
struct CWireFrame {
  TestClock::time_point breakOn, breakOff, firstWrite, drained;
  Bytes bytes;
};

std::vector<CWireFrame> WireFrames(const CRecordingControl& control) {
  std::vector<CWireFrame> frames;
  for (const CTtyEvent& event : control.Events()) {
    if (event.kind == EKind::BreakOn) frames.push_back({event.time, {}, {}, {}, {}});
    if (frames.empty()) continue;
    CWireFrame& frame = frames.back();
    if (event.kind == EKind::BreakOff) frame.breakOff = event.time;
    if (event.kind == EKind::Drain) frame.drained = event.time;
    if (event.kind == EKind::Write) {
      if (frame.bytes.empty()) frame.firstWrite = event.time;
      frame.bytes.insert(frame.bytes.end(), event.bytes.begin(), event.bytes.end());
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

  const std::vector<CDmxFrame> frames{{0, 0xFC, 0, {0x12, 0x34}}, {0, 0xFE, 0, Pattern(512, 1)},
                                      {0, 0xF9, 0, Pattern(559, 2)}, {0, 0x00, 0, Pattern(512, 3)}};
  Bytes expected;
  for (const CDmxFrame& frame : frames) {
    output->Send(frame);
    const Bytes bytes = WireBytes(frame.startCode, frame.slots);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  output->Flush(5s);
  ASSERT_TRUE(pty.WaitForBytes(expected.size()));
  EXPECT_EQ(pty.Received(), expected);
  EXPECT_EQ(output->WrittenCount(), frames.size());
  const auto configured = control->Events(EKind::Configure);
  ASSERT_EQ(configured.size(), 1u);
  EXPECT_EQ(configured[0].settings, (CTtySettings{250000, 2}));

  const auto wire = WireFrames(*control);
  ASSERT_EQ(wire.size(), frames.size());
  for (std::size_t i = 0; i < wire.size(); ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    EXPECT_EQ(wire[i].bytes, WireBytes(frames[i].startCode, frames[i].slots));
    EXPECT_GE(wire[i].breakOff - wire[i].breakOn, 92us);
    EXPECT_GE(wire[i].firstWrite - wire[i].breakOff, 12us);
    EXPECT_GE(wire[i].drained, wire[i].firstWrite);
    if (i > 0) {  // no break cuts into the previous frame: it drained and had its wire time first
      EXPECT_GE(wire[i].breakOn, wire[i - 1].drained);
      EXPECT_GE(wire[i].breakOn - wire[i - 1].breakOff, 12us + 44us * static_cast<int>(wire[i - 1].bytes.size()));
    }
  }
}

TEST(ThreadedOpenDmxOutput, CommandFramesGivenAtOnceAllArriveInOrder) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  CDmxLine line;
  line.SetOutput(OpenOn(pty, control));
  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0xFC, 0, 2), 0);
  Bytes expected;
  for (int i = 0; i < 255; ++i) {
    line.DmxLinkTransmitSetChannelValue(0, i / 16);
    line.DmxLinkTransmitStartWithChannelValue(1, i);
    expected.insert(expected.end(), {0xFC, static_cast<std::uint8_t>(i / 16), static_cast<std::uint8_t>(i)});
  }
  line.DmxLinkStandBy();  // stops later starts, never the frames already started
  for (int i = 0; i < 5; ++i) line.DmxLinkTransmitStart();
  line.Flush(10s);
  ASSERT_TRUE(pty.WaitForBytes(expected.size()));
  EXPECT_EQ(pty.Received(), expected);
  EXPECT_EQ(WireFrames(*control).size(), 255u);
}

TEST(ThreadedOpenDmxOutput, LevelFramesQueuedBehindTheWireAreCoalescedToTheNewest) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  auto output = OpenOn(pty, control);
  ASSERT_TRUE(output);
  auto level = [](int n) {
    Bytes slots = Pattern(512, n);
    slots[0] = static_cast<std::uint8_t>(n);
    slots[1] = static_cast<std::uint8_t>(n >> 8);
    return CDmxFrame{0, 0x00, 0, slots};
  };
  // 200 level frames and one command frame in the middle, far faster than the wire takes them.
  for (int n = 0; n < 100; ++n) output->Send(level(n));
  output->Send(CDmxFrame{0, 0xFE, 0, Pattern(512, 0xEE)});
  for (int n = 100; n < 200; ++n) output->Send(level(n));
  output->Flush(5s);

  const auto wire = WireFrames(*control);
  ASSERT_GE(wire.size(), 3u);
  EXPECT_LT(wire.size(), 50u);  // most level frames were replaced while they waited
  EXPECT_EQ(output->WrittenCount() + output->CoalescedCount(), 201u);
  int previous = -1;
  int commandsSeen = 0;
  for (const CWireFrame& frame : wire) {
    ASSERT_EQ(frame.bytes.size(), 513u);
    if (frame.bytes[0] == 0xFE) {
      ++commandsSeen;
      EXPECT_EQ(previous, 99);  // the levels went out as they stood when the command was given
      EXPECT_EQ(frame.bytes, WireBytes(0xFE, Pattern(512, 0xEE)));
      continue;
    }
    const int n = frame.bytes[1] | (frame.bytes[2] << 8);
    EXPECT_GT(n, previous);  // never an older state after a newer one
    EXPECT_EQ(frame.bytes, WireBytes(0x00, level(n).slots));
    previous = n;
  }
  EXPECT_EQ(commandsSeen, 1);
  EXPECT_EQ(previous, 199);  // the newest levels reached the wire
}

TEST(ThreadedOpenDmxOutput, FlushWaitsAtMostItsLimitAndClosingDropsWhatIsStillQueued) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  auto output = OpenOn(pty, control);
  ASSERT_TRUE(output);
  for (int i = 0; i < 100; ++i) output->Send(CDmxFrame{0, 0xF9, 0, Pattern(559, i)});  // 2.5 s of wire time
  auto before = TestClock::now();
  output->Flush(100ms);
  EXPECT_LT(TestClock::now() - before, 1s);
  before = TestClock::now();
  output.reset();  // the frame on the wire finishes; the rest is dropped
  EXPECT_LT(TestClock::now() - before, 1s);
  const auto frames = WireFrames(*control);
  EXPECT_LT(frames.size(), 100u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].bytes, WireBytes(0xF9, Pattern(559, static_cast<int>(i))));  // whole frames only
  }
}

TEST(ThreadedOpenDmxOutput, UnpluggedDeviceIsReportedOnceAndNothingHangs) {
  std::mutex mutex;
  std::vector<std::string> reports;
  std::thread::id reportThread;
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
  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0, 0, 512), 0);

  std::atomic<bool> ticking{true};
  std::thread tick([&] {  // a console tick feeding frames while the cable is pulled
    while (ticking) {
      line.DmxLinkTransmitStartWithChannelValue(0, 1);
      std::this_thread::sleep_for(1ms);
    }
  });
  const bool running = pty.WaitForBytes(3 * 513);
  pty.CloseMaster();
  const auto unplugged = TestClock::now();
  std::this_thread::sleep_for(300ms);
  ticking = false;
  tick.join();
  ASSERT_TRUE(running);
  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0xF9, 6, 559), 0);  // the line goes on taking calls
  for (int i = 0; i < 20; ++i) line.DmxLinkTransmitStart();
  const auto before = TestClock::now();
  line.Flush(1500ms);
  EXPECT_LT(TestClock::now() - before, 1000ms);  // a dead device is not waited for
  {
    std::lock_guard lock(mutex);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(name), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find("stopped working"), std::string::npos) << reports[0];
    EXPECT_NE(reportThread, std::this_thread::get_id());
  }
  const auto breaks = control->Events(EKind::BreakOn);  // after the failing frame nothing more was tried
  EXPECT_LE(std::count_if(breaks.begin(), breaks.end(), [&](const CTtyEvent& e) { return e.time > unplugged; }), 1);
  line.SetOutput(nullptr);  // stops the writer: returns rather than hangs
}

TEST(ThreadedOpenDmxOutput, FaultBeforeTheHandlerIsSetIsReportedWhenItIs) {
  CPtyPair pty;
  auto output = OpenOn(pty, std::make_shared<CRecordingControl>());
  ASSERT_TRUE(output);
  pty.CloseMaster();
  output->Send(CDmxFrame{0, 0xFE, 0, Pattern(512, 0)});
  for (int i = 0; i < 200 && !output->Fault(); ++i) std::this_thread::sleep_for(5ms);
  ASSERT_TRUE(output->Fault());
  int reports = 0;
  output->SetFaultHandler([&](const CError&) { ++reports; });
  output->SetFaultHandler([&](const CError&) { ++reports; });
  output->Send(CDmxFrame{0, 0xFE, 0, Pattern(512, 0)});
  output->Flush(1s);
  EXPECT_EQ(reports, 1);
}

TEST(OpenDmxOutput, OpenErrorsNameTheDeviceAndTheFix) {
  const std::string plain = ::testing::TempDir() + "vexmira_not_a_tty";
  std::ofstream(plain) << "x";
  auto control = std::make_shared<CRecordingControl>();
  control->FailOpen("/dev/ttyUSB7", std::errc::permission_denied);
  control->FailOpen("/dev/ttyUSB8", std::errc::device_or_resource_busy);
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
      {"/dev/ttyUSB7", {"/dev/ttyUSB7", "dialout", "res/60-vexmira-dmx.rules"}},
      {"/dev/ttyUSB8", {"in use"}},
      {"/dev/vexmira-no-such-tty", {"no such device"}},
      {plain, {"not a serial device"}}};
  for (const auto& [path, parts] : cases) {
    auto output = COpenDmxOutput::Open(path, control);
    ASSERT_FALSE(output) << path;
    for (const std::string& part : parts) EXPECT_NE(output.error().message.find(part), std::string::npos) << output.error().message;
  }
}
