// The Pro-widget output on a pseudo-terminal: label-6 messages, the 512-slot limit, the probe, faults.
#include "link/DmxLine.h"
#include "link/ProMessage.h"
#include "link/ProOutput.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<CProOutput> OpenOn(const CPtyPair& pty, const std::shared_ptr<CRecordingControl>& control) {
  auto output = CProOutput::Open(pty.SlavePath(), control);
  EXPECT_TRUE(output) << output.error().message;
  return output ? std::move(*output) : nullptr;
}

Bytes Message(std::uint8_t startCode, const Bytes& slots) {
  Bytes bytes{0x7E, 0x06, static_cast<std::uint8_t>((slots.size() + 1) & 0xFF),
              static_cast<std::uint8_t>((slots.size() + 1) >> 8), startCode};
  bytes.insert(bytes.end(), slots.begin(), slots.end());
  bytes.push_back(0xE7);
  return bytes;
}

// Answers a serial-number request the way a widget does, after a received-DMX report.
std::vector<std::uint8_t> WidgetAnswer(const Bytes& received) {
  static const Bytes request{0x7E, 0x0A, 0x00, 0x00, 0xE7};
  if (std::search(received.begin(), received.end(), request.begin(), request.end()) == received.end()) {
    return {};
  }
  return {0x7E, 0x05, 0x03, 0x00, 0x00, 0x00, 0x42, 0xE7, 0x7E, 0x0A, 0x04, 0x00, 0x21, 0x43, 0x65, 0x00, 0xE7};
}

}  // namespace

TEST(ThreadedProOutput, FramesGoOutInLabelSixMessagesByteForByte) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  CDmxLine line;
  auto output = OpenOn(pty, control);
  ASSERT_TRUE(output);
  EXPECT_EQ(output->Name(), "pro:" + pty.SlavePath());
  EXPECT_TRUE(output->Answers(0x8888, 0x0102));
  EXPECT_FALSE(output->Answers(0x8888, 0x0101));
  line.SetOutput(std::move(output));

  ASSERT_EQ(line.SetMode(0xA5, 0xFC, 0, 2), 0);
  line.SetChannelValue(0, 0x12);
  line.StartWithChannelValue(1, 0x34);
  ASSERT_EQ(line.SetMode(0xA5, 0xF6, 9, 512), 0);
  for (int c = 0; c < 512; ++c) line.SetChannelValue(c, c * 3);
  line.Start();
  ASSERT_EQ(line.SetMode(0xA5, 0x00, 0, 512), 0);
  line.StartWithChannelValue(511, 0xE7);  // the end byte inside the data changes nothing
  line.Flush(5s);

  Bytes slots(512);
  for (int c = 0; c < 512; ++c) slots[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c * 3);
  Bytes expected = Message(0xFC, {0x12, 0x34});
  const Bytes setting = Message(0xF6, slots);
  expected.insert(expected.end(), setting.begin(), setting.end());
  slots[511] = 0xE7;
  const Bytes levels = Message(0x00, slots);
  expected.insert(expected.end(), levels.begin(), levels.end());
  ASSERT_TRUE(pty.WaitForBytes(expected.size()));
  EXPECT_EQ(pty.Received(), expected);
  EXPECT_EQ(expected.size(), 8u + 518u + 518u);

  const auto configured = control->EventsOf(CTtyEvent::EKind::Configure);
  ASSERT_EQ(configured.size(), 1u);
  EXPECT_EQ(configured[0].settings, (CTtySettings{115200, 1}));
  EXPECT_TRUE(control->EventsOf(CTtyEvent::EKind::BreakOn).empty());  // the widget makes the break
}

TEST(ThreadedProOutput, FramesLongerThan512SlotsAreRefusedWithAReason) {
  CPtyPair pty;
  CDmxLine line;
  auto output = OpenOn(pty, std::make_shared<CRecordingControl>());
  ASSERT_TRUE(output);
  EXPECT_TRUE(output->AcceptsMode(CDmxMode{0xA5, 0x00, 0, 512}));
  auto refused = output->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559});
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("512"), std::string::npos) << refused.error().message;
  EXPECT_NE(refused.error().message.find("559"), std::string::npos) << refused.error().message;
  line.SetOutput(std::move(output));

  EXPECT_NE(line.SetMode(0xA5, 0xF9, 6, 559), 0);
  EXPECT_EQ(line.LastError(), refused.error().message);
  line.Start();
  line.Flush(1s);
  EXPECT_TRUE(pty.Received().empty());  // nothing meant for the long frame went out
}

TEST(ThreadedProOutput, CommandFramesGivenAtOnceAllArriveInOrder) {
  CPtyPair pty;
  CDmxLine line;
  line.SetOutput(OpenOn(pty, std::make_shared<CRecordingControl>()));
  ASSERT_EQ(line.SetMode(0xA5, 0xFC, 0, 2), 0);
  Bytes expected;
  for (int i = 0; i < 255; ++i) {
    line.SetChannelValue(0, i / 16);
    line.StartWithChannelValue(1, i);
    const Bytes message = Message(0xFC, {static_cast<std::uint8_t>(i / 16), static_cast<std::uint8_t>(i)});
    expected.insert(expected.end(), message.begin(), message.end());
  }
  line.Flush(10s);
  ASSERT_TRUE(pty.WaitForBytes(expected.size()));
  EXPECT_EQ(pty.Received(), expected);
}

TEST(ThreadedProOutput, UnpluggedWidgetIsReportedOnceAndNothingHangs) {
  std::atomic<int> reports{0};
  CPtyPair pty;
  CDmxLine line;
  line.SetOutput(OpenOn(pty, std::make_shared<CRecordingControl>()));
  line.SetFaultHandler([&](const CError& error) {
    ++reports;
    EXPECT_NE(error.message.find("stopped working"), std::string::npos) << error.message;
  });
  ASSERT_EQ(line.SetMode(0xA5, 0xFE, 0, 512), 0);
  line.Start();
  const bool arrived = pty.WaitForBytes(518);
  pty.CloseMaster();
  for (int i = 0; i < 300; ++i) {
    line.Start();
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_TRUE(arrived);
  const auto before = TestClock::now();
  line.Flush(1500ms);
  EXPECT_LT(TestClock::now() - before, 1000ms);
  EXPECT_EQ(reports.load(), 1);
  line.Reset();
}

TEST(ThreadedProOutput, ProbeReadsTheSerialNumberOfAWidgetThatAnswers) {
  CPtyPair widget;
  widget.SetResponder(WidgetAnswer);
  auto control = std::make_shared<CRecordingControl>();
  auto port = CTtyPort::Open(widget.SlavePath(), control);
  ASSERT_TRUE(port) << port.error().message;
  ASSERT_TRUE((*port)->Configure(CProOutput::kSettings));
  const auto serial = CProOutput::ProbeSerialNumber(**port, 500ms);
  ASSERT_TRUE(serial);
  EXPECT_EQ(*serial, 0x00654321u);

  CPtyPair silent;
  auto quiet = CTtyPort::Open(silent.SlavePath(), control);
  ASSERT_TRUE(quiet);
  ASSERT_TRUE((*quiet)->Configure(CProOutput::kSettings));
  EXPECT_FALSE(CProOutput::ProbeSerialNumber(**quiet, 50ms));
  ASSERT_TRUE(silent.WaitForBytes(5));
  EXPECT_EQ(silent.Received(), (Bytes{0x7E, 0x0A, 0x00, 0x00, 0xE7}));
}
