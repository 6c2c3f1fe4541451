// The Pro-widget output on a pseudo-terminal: label-6 messages, the 512-slot limit, the probe, faults.
#include "link/DmxLine.h"
#include "outputs/ProOutput.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace std::chrono_literals;

std::unique_ptr<CProOutput> OpenOn(const CPtyPair& pty) {
  auto output = CProOutput::Open(pty.SlavePath(), std::make_shared<CRecordingControl>());
  EXPECT_TRUE(output) << output.error().message;
  return output ? std::move(*output) : nullptr;
}

// Appends one send-DMX message: start, label 6, length of start code and slots (LSB first), data, end.
void AddMessage(Bytes& to, std::uint8_t startCode, const Bytes& slots) {
  const std::size_t length = slots.size() + 1;
  to.insert(to.end(), {0x7E, 0x06, static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8), startCode});
  to.insert(to.end(), slots.begin(), slots.end());
  to.push_back(0xE7);
}

}  // namespace

TEST(ThreadedProOutput, FramesGoOutInLabelSixMessagesByteForByte) {
  CPtyPair pty;
  auto control = std::make_shared<CRecordingControl>();
  auto output = CProOutput::Open(pty.SlavePath(), control);
  ASSERT_TRUE(output) << output.error().message;
  EXPECT_EQ((*output)->Name(), "pro:" + pty.SlavePath());
  EXPECT_TRUE((*output)->Answers(0x8888, 0x0102));
  EXPECT_FALSE((*output)->Answers(0x8888, 0x0101));
  CDmxLine line;
  line.SetOutput(std::move(*output));

  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0xFC, 0, 2), 0);
  line.DmxLinkTransmitSetChannelValue(0, 0x12);
  line.DmxLinkTransmitStartWithChannelValue(1, 0x34);
  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0xF6, 9, 512), 0);
  for (int c = 0; c < 512; ++c) line.DmxLinkTransmitSetChannelValue(c, c * 3);
  line.DmxLinkTransmitStart();
  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0x00, 0, 512), 0);
  line.DmxLinkTransmitStartWithChannelValue(511, 0xE7);  // the end byte inside the data changes nothing
  line.Flush(5s);

  Bytes slots(512);
  for (int c = 0; c < 512; ++c) slots[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c * 3);
  Bytes expected;
  AddMessage(expected, 0xFC, {0x12, 0x34});
  AddMessage(expected, 0xF6, slots);
  slots[511] = 0xE7;
  AddMessage(expected, 0x00, slots);
  ASSERT_EQ(expected.size(), 8u + 518u + 518u);
  ASSERT_TRUE(pty.WaitForBytes(expected.size()));
  EXPECT_EQ(pty.Received(), expected);

  const auto configured = control->Events(CTtyEvent::EKind::Configure);
  ASSERT_EQ(configured.size(), 1u);
  EXPECT_EQ(configured[0].settings, (CTtySettings{115200, 1}));
  EXPECT_TRUE(control->Events(CTtyEvent::EKind::BreakOn).empty());  // the widget makes the break
}

TEST(ThreadedProOutput, FramesLongerThan512SlotsAreRefusedWithAReason) {
  CPtyPair pty;
  auto output = OpenOn(pty);
  ASSERT_TRUE(output);
  auto refused = output->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559});
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.error().message.find("512"), std::string::npos) << refused.error().message;
  EXPECT_NE(refused.error().message.find("559"), std::string::npos) << refused.error().message;
  CDmxLine line;
  line.SetOutput(std::move(output));
  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0x00, 0, 512), 0);

  EXPECT_NE(line.DmxLinkSetMode(0xA5, 0xF9, 6, 559), 0);
  EXPECT_EQ(line.LastError(), refused.error().message);
  EXPECT_EQ(line.Status().mode.length, 512);  // the previous mode stays
  line.DmxLinkTransmitStart();
  line.Flush(1s);
  EXPECT_TRUE(pty.Received().empty());  // nothing meant for the long frame went out
}

TEST(ThreadedProOutput, UnpluggedWidgetIsReportedOnceAndNothingHangs) {
  std::atomic<int> reports{0};
  CPtyPair pty;
  CDmxLine line;
  line.SetOutput(OpenOn(pty));
  line.SetFaultHandler([&](const CError& error) {
    ++reports;
    EXPECT_NE(error.message.find("stopped working"), std::string::npos) << error.message;
  });
  ASSERT_EQ(line.DmxLinkSetMode(0xA5, 0xFE, 0, 512), 0);
  line.DmxLinkTransmitStart();
  ASSERT_TRUE(pty.WaitForBytes(518));
  pty.CloseMaster();
  for (int i = 0; i < 300; ++i, std::this_thread::sleep_for(1ms)) line.DmxLinkTransmitStart();
  const auto before = TestClock::now();
  line.Flush(1500ms);
  EXPECT_LT(TestClock::now() - before, 1000ms);
  EXPECT_EQ(reports.load(), 1);
  line.SetOutput(nullptr);
}

TEST(ThreadedProOutput, ProbeReadsTheSerialNumberOfAWidgetThatAnswers) {
  const Bytes request{0x7E, 0x0A, 0x00, 0x00, 0xE7};
  // A widget answers with a received-DMX report first, then the serial number.
  CPtyPair widget([&](const Bytes& received) {
    return std::search(received.begin(), received.end(), request.begin(), request.end()) == received.end()
               ? Bytes{}
               : Bytes{0x7E, 0x05, 0x03, 0x00, 0x00, 0x00, 0x42, 0xE7, 0x7E, 0x0A, 0x04, 0x00, 0x21, 0x43, 0x65, 0x00, 0xE7};
  });
  CPtyPair silent;
  auto control = std::make_shared<CRecordingControl>();
  auto port = CTtyPort::Open(widget.SlavePath(), control);
  auto quiet = CTtyPort::Open(silent.SlavePath(), control);
  ASSERT_TRUE(port && quiet);
  ASSERT_TRUE((*port)->Configure(CProOutput::kSettings) && (*quiet)->Configure(CProOutput::kSettings));
  EXPECT_EQ(CProOutput::ProbeSerialNumber(**port, 500ms), 0x00654321u);
  EXPECT_FALSE(CProOutput::ProbeSerialNumber(**quiet, 50ms));
  ASSERT_TRUE(silent.WaitForBytes(5));
  EXPECT_EQ(silent.Received(), request);
}
