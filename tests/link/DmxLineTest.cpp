// The line: image copied at the call, modes and stand-by, the tally, faults and the free calls.
#include "link/CaptureWriter.h"
#include "link/DmxLine.h"
#include "outputs/FakeDatagramSocket.h"
#include "outputs/SacnOutput.h"
#include "support/RecordingLink.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(DmxLine, PageAndChannelCallsCopyIntoTheImageAtTheCall) {
  CRecordingLink link;
  CDmxLine& line = link.Line();
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0xF9, 6, kMaxSlots), 0);
  std::array<std::uint8_t, kImageSize> image;
  for (int i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(0xA0 + i / kPageSize);
  HandOverPages(line, image.data());
  Bytes expected(image.begin(), image.begin() + kMaxSlots);
  image.fill(0x22);  // the caller's buffer changes after the call: the image does not
  ASSERT_EQ(line.DmxLinkTransmitStart(), 0);
  EXPECT_EQ(line.DmxLinkTransmitSetChannelValue(0, 0x1FF), 0);  // values are taken as a byte
  EXPECT_EQ(line.DmxLinkTransmitSetChannelValue(1, -1), 0);
  EXPECT_EQ(line.DmxLinkTransmitSetChannelValue(kImageSize - 1, 0x43), 0);  // in the image, beyond any frame
  // Refused calls leave the image alone; a start with a refused set still sends.
  EXPECT_NE(line.DmxLinkTransmitSetPageValue(-1, image.data()), 0);
  EXPECT_NE(line.DmxLinkTransmitSetPageValue(kPageCount, image.data()), 0);
  EXPECT_NE(line.DmxLinkTransmitSetPageValue(0, nullptr), 0);
  EXPECT_NE(line.DmxLinkTransmitSetChannelValue(-1, 9), 0);
  EXPECT_NE(line.DmxLinkTransmitSetChannelValue(kImageSize, 9), 0);
  EXPECT_NE(line.DmxLinkTransmitStartWithPageValue(7, image.data()), 0);
  EXPECT_EQ(line.DmxLinkTransmitStartWithChannelValue(300, 0x99), 0);

  const auto frames = link.Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].slots, expected);  // later channel calls left the first frame alone
  EXPECT_EQ(frames[0].startCode, 0xF9);
  EXPECT_EQ(frames[0].interval, 6);
  expected[0] = expected[1] = 0xFF;
  EXPECT_EQ(frames[1].slots, expected);
  expected[300] = 0x99;
  EXPECT_EQ(frames[2].slots, expected);
}

TEST(DmxLine, StandByAndRefusedModesSendNothingUntilTheNextGoodMode) {
  CRecordingLink link;
  CDmxLine& line = link.Line();
  const auto sent = [&] { return link.Frames().size(); };
  line.DmxLinkTransmitSetChannelValue(0, 0x12);
  line.DmxLinkTransmitSetChannelValue(1, 0x34);
  line.DmxLinkTransmitStart();
  EXPECT_EQ(sent(), 0u);  // a fresh line stands by
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0xFC, 0, 2), 0);
  line.DmxLinkTransmitStart();
  EXPECT_EQ(link.Frames().back().slots, (Bytes{0x12, 0x34}));
  line.DmxLinkStandBy();
  line.DmxLinkTransmitStart();
  line.DmxLinkTransmitStartWithChannelValue(10, 0x55);  // the set part still lands in the image
  EXPECT_EQ(sent(), 1u);

  for (auto [startCode, length] : {std::pair{0xF9, 0}, {0xF9, -1}, {0xF9, 560}, {0x100, 512}}) {
    ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0xF6, 9, 512), 0);
    EXPECT_NE(line.DmxLinkSetMode(kLinkMark, startCode, 6, length), 0) << length;
    EXPECT_FALSE(line.LastError().empty());
    EXPECT_EQ(line.Status().mode, (CDmxMode{kLinkMark, 0xF6, 9, 512}));  // the previous mode stays
    line.DmxLinkTransmitStart();  // but nothing goes out under it
    EXPECT_EQ(sent(), 1u);
  }
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0xF6, 9, 512), 0);
  EXPECT_TRUE(line.LastError().empty());
  line.DmxLinkTransmitStart();
  EXPECT_EQ(link.Frames().back().slots[10], 0x55);
}

TEST(DmxLine, TheMonitorsTallyKeepsTheLastFrameTheCountAndTheRateOfTheLastSecond) {
  CRecordingLink link;
  CDmxLine& line = link.Line();
  std::int64_t now = 10'000'000;
  line.SetClock([&now] { return now; });
  line.DmxLinkSetMode(kLinkMark, 0, 0, 1);
  for (int tick = 0; tick < 80; ++tick, now += 25'000) line.DmxLinkTransmitStartWithChannelValue(0, tick);
  now -= 25'000;  // back to the time of the last frame
  CLineStatus status = line.Status();
  EXPECT_EQ(status.frameCount, 80u);
  EXPECT_EQ(status.lastFrame->slots, Bytes{79});
  EXPECT_EQ(status.lastFrame->timeUs, now);
  EXPECT_EQ(status.framesPerSecond, 40.0);
  now += 500'000;
  EXPECT_EQ(line.Status().framesPerSecond, 20.0);
  now += 500'000;
  EXPECT_EQ(line.Status().framesPerSecond, 0.0);

  // A new output starts a fresh line; without a clock of its own the line stamps the time of day.
  line.SetClock({});
  line.SetOutput(std::make_unique<CRecordingOutput>());
  status = line.Status();
  EXPECT_TRUE(status.frameCount == 0 && !status.lastFrame && status.standBy && status.mode == CDmxMode{});
  line.DmxLinkSetMode(kLinkMark, 0, 0, 2);
  line.DmxLinkTransmitStart();
  EXPECT_EQ(line.Status().lastFrame->slots, Bytes(2, 0));  // the image too
  const auto wallUs = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::system_clock::now().time_since_epoch()).count();
  EXPECT_NEAR(static_cast<double>(line.Status().lastFrame->timeUs), static_cast<double>(wallUs), 5e6);
}

TEST(DmxLine, TheFreeCallsReachTheProcesssLine) {
  auto output = std::make_unique<CRecordingOutput>();
  CRecordingOutput* recorded = output.get();
  CDmxLine::Instance().SetOutput(std::move(output));
  EXPECT_EQ(DmxLinkOpen(kInterfaceId, kOpenDmxModel), 0);
  DmxLinkSetMode(kLinkMark, 0xFD, 0, 512);
  DmxLinkTransmitStartWithChannelValue(2, 3);
  ASSERT_EQ(recorded->Frames().size(), 1u);
  EXPECT_EQ(recorded->Frames()[0].slots[2], 3);
  CDmxLine::Instance().SetOutput(nullptr);
}

namespace {

// An output whose fault the test raises; its handler outlives it, to show the line let go of it.
class CFailingOutput final : public CDmxOutput {
 public:
  bool Answers(int, int) override { return true; }
  void Send(const CDmxFrame&) override {}
  void SetFaultHandler(std::function<void(const CError&)> given) override { *handler = std::move(given); }
  std::string Name() const override { return "failing"; }
  std::shared_ptr<std::function<void(const CError&)>> handler = std::make_shared<std::function<void(const CError&)>>();
};

}  // namespace

TEST(DmxLine, AFaultIsKeptForTheMonitorAndToldToTheHandlerSetBeforeOrAfter) {
  CDmxLine line;
  std::vector<std::string> reports;
  const auto install = [&line] {
    auto output = std::make_unique<CFailingOutput>();
    auto handler = output->handler;
    line.SetOutput(std::move(output));
    return handler;
  };
  const auto first = install();
  ASSERT_TRUE(*first);
  (*first)(CError{"first failed"});  // nobody listens yet: kept and told later
  EXPECT_EQ(line.Status().fault->message, "first failed");
  line.SetFaultHandler([&](const CError& error) { reports.push_back(error.message); });
  EXPECT_EQ(reports, std::vector<std::string>{"first failed"});

  const auto second = install();  // a new output: no fault, and the old one is no longer heard
  EXPECT_FALSE(line.Status().fault);
  EXPECT_FALSE(*first);
  (*second)(CError{"second failed"});
  EXPECT_EQ(reports, (std::vector<std::string>{"first failed", "second failed"}));
  EXPECT_EQ(line.Status().fault->message, "second failed");
}

TEST(DmxLine, ASendThatFailsIsKnownWhenItsStartReturnsAndIsNeitherCountedNorCaptured) {
  const CTempFolder folder;
  auto network = std::make_shared<CFakeNetwork>();
  CDmxLine line;
  line.SetOutput(std::make_unique<CSacnOutput>("sacn:1", CSacnPacket(CCid{}, "test", 1, 100),
                                               std::make_unique<CFakeDatagramSocket>(network),
                                               CSacnOutput::CSettings{CIpv4Address{10, 0, 0, 9}, {}, false}));
  line.SetCapture(CCaptureWriter::Create(folder / "fault.pcap").value());
  line.DmxLinkSetMode(kLinkMark, 0, 0, 1);
  line.DmxLinkTransmitStart();
  network->SetError(std::make_error_code(std::errc::network_unreachable));
  line.DmxLinkTransmitStart();  // never reaches a wire
  EXPECT_TRUE(line.Status().fault);
  EXPECT_EQ(line.Status().frameCount, 1u);
  EXPECT_FALSE(line.CloseCapture());
  EXPECT_EQ(std::filesystem::file_size(folder / "fault.pcap"), 24 + 16 + 14u);
}
