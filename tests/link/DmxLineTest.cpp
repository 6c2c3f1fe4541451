// Frame image, mode, stand-by, history, call log and rate of the line.
#include "link/DmxLine.h"
#include "outputs/VirtualOutput.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(DmxLine, PageAndChannelCallsCopyIntoTheImageAtTheCall) {
  CDmxLine line;
  ASSERT_EQ(line.SetMode(0xA5, 0xF9, 6, 559), 0);
  std::array<std::uint8_t, kPageSize> page;
  for (int p = 0; p < kPageCount; ++p) {
    page.fill(static_cast<std::uint8_t>(0xA0 + p));
    ASSERT_EQ(line.SetPageValue(p, page.data()), 0);
  }
  page.fill(0x22);  // the caller's buffer changes after the call: the image does not
  ASSERT_EQ(line.Start(), 0);
  EXPECT_EQ(line.SetChannelValue(0, 0x1FF), 0);  // values are taken as a byte
  EXPECT_EQ(line.SetChannelValue(1, -1), 0);
  EXPECT_EQ(line.SetChannelValue(kImageSize - 1, 0x43), 0);  // in the image, beyond any frame
  // Refused calls leave the image alone; a start with a refused set still sends.
  EXPECT_NE(line.SetPageValue(-1, page.data()), 0);
  EXPECT_NE(line.SetPageValue(kPageCount, page.data()), 0);
  EXPECT_NE(line.SetPageValue(0, nullptr), 0);
  EXPECT_NE(line.SetChannelValue(-1, 9), 0);
  EXPECT_NE(line.SetChannelValue(kImageSize, 9), 0);
  EXPECT_NE(line.StartWithPageValue(7, page.data()), 0);
  EXPECT_EQ(line.StartWithChannelValue(300, 0x99), 0);

  const auto frames = line.Frames();
  ASSERT_EQ(frames.size(), 3u);
  Bytes expected(559);
  for (int i = 0; i < 559; ++i) expected[i] = static_cast<std::uint8_t>(0xA0 + i / kPageSize);  // slot 427 opens page 3
  EXPECT_EQ(frames[0].slots, expected);  // later channel calls left the first frame alone
  EXPECT_EQ(frames[0].startCode, 0xF9);
  EXPECT_EQ(frames[0].interval, 6);
  expected[0] = expected[1] = 0xFF;
  EXPECT_EQ(frames[1].slots, expected);
  expected[300] = 0x99;
  EXPECT_EQ(frames[2].slots, expected);
}

TEST(DmxLine, StandByAndRefusedModesSendNothingUntilTheNextGoodMode) {
  CDmxLine line;
  line.SetChannelValue(0, 0x12);
  line.SetChannelValue(1, 0x34);
  EXPECT_TRUE(line.Status().standBy);
  EXPECT_EQ(line.Start(), 0);
  EXPECT_EQ(line.FrameCount(), 0u);  // a fresh line stands by

  ASSERT_EQ(line.SetMode(0xA5, 0xFC, 0, 2), 0);
  line.Start();
  EXPECT_EQ(line.LastFrame()->slots, (Bytes{0x12, 0x34}));
  EXPECT_EQ(line.LastFrame()->startCode, 0xFC);

  line.StandBy();
  line.Start();
  line.StartWithChannelValue(10, 0x55);  // the set part still lands in the image
  std::array<std::uint8_t, kPageSize> page;
  page.fill(0x66);
  line.StartWithPageValue(1, page.data());
  EXPECT_EQ(line.Frames().size(), 1u);

  ASSERT_EQ(line.SetMode(0xA5, 0xF6, 9, 512), 0);
  EXPECT_TRUE(line.LastError().empty());
  line.Start();
  ASSERT_EQ(line.FrameCount(), 2u);
  EXPECT_EQ(line.LastFrame()->slots.size(), 512u);
  EXPECT_EQ(line.LastFrame()->slots[10], 0x55);
  EXPECT_EQ(line.LastFrame()->slots[kPageSize], 0x66);
  EXPECT_EQ(line.LastFrame()->interval, 9);

  for (auto [startCode, length] : {std::pair{0xF9, 0}, {0xF9, -1}, {0xF9, 560}, {0xF9, 568}, {0x100, 512}}) {
    EXPECT_NE(line.SetMode(0xA5, startCode, 6, length), 0) << length;
    EXPECT_FALSE(line.LastError().empty());
  }
  EXPECT_EQ(line.Status().mode, (CDmxMode{0xA5, 0xF6, 9, 512}));  // the previous mode stays
  EXPECT_TRUE(line.Status().standBy);
  line.Start();
  EXPECT_EQ(line.FrameCount(), 2u);

  ASSERT_EQ(line.SetMode(0xA5, 0xF9, 6, 559), 0);
  EXPECT_TRUE(line.LastError().empty());
  line.Start();
  EXPECT_EQ(line.LastFrame()->slots.size(), 559u);
}

TEST(DmxLine, ANewOutputOrAResetStartsAFreshLine) {
  CDmxLine line;
  std::int64_t now = 5'000'000;
  line.SetClock([&now] { return now; });
  line.SetRecording(true);
  line.SetHistoryLimit(1);
  line.SetMode(0xA5, 0xF6, 9, 4);
  line.StartWithChannelValue(1, 5);
  line.SetOutput(std::make_unique<CVirtualOutput>());
  CLineStatus status = line.Status();
  EXPECT_EQ(status.frameCount, 0u);
  EXPECT_TRUE(status.standBy);
  EXPECT_FALSE(status.lastFrame);
  EXPECT_EQ(status.mode, CDmxMode{});
  ASSERT_FALSE(line.Calls().empty());  // the call log stays with a new output
  line.SetMode(0xA5, 0, 0, 4);
  line.StartWithChannelValue(1, 9);

  line.Reset();
  EXPECT_TRUE(line.Calls().empty());
  EXPECT_EQ(line.FrameCount(), 0u);
  EXPECT_TRUE(line.Status().standBy);
  EXPECT_EQ(line.Status().outputName, "");
  EXPECT_NE(line.Open(0x8888, 0x0102), 0);
  EXPECT_TRUE(line.Calls().empty());  // recording is off again
  now = -1;                           // the fake clock is no longer asked
  line.SetMode(0xA5, 0, 0, 4);
  line.Start();
  line.Start();
  EXPECT_EQ(line.Frames().size(), 2u);  // the history bound is back to its default
  EXPECT_GE(line.LastFrame()->timeUs, 0);
  EXPECT_EQ(line.LastFrame()->slots, Bytes(4, 0));
}

TEST(DmxLine, RecordingIsOffUntilAskedAndTheLogIsBounded) {
  CDmxLine line;
  line.Open(1, 2);
  EXPECT_TRUE(line.Calls().empty());
  line.SetRecording(true);
  for (std::size_t i = 0; i < CDmxLine::kCallLogLimit + 2; ++i) {
    line.SetChannelValue(static_cast<std::int32_t>(i % kImageSize), 0);
  }
  const auto bounded = line.Calls();
  ASSERT_EQ(bounded.size(), CDmxLine::kCallLogLimit);
  EXPECT_EQ(bounded.front().args[0], 2);  // the two oldest were dropped
  line.ClearCalls();
  EXPECT_TRUE(line.Calls().empty());
}

TEST(DmxLine, FramesAreStampedKeptToTheHistoryLimitAndCountedOverTheLastSecond) {
  CDmxLine line;
  std::int64_t now = 10'000'000;
  line.SetClock([&now] { return now; });
  line.SetHistoryLimit(3);
  line.SetMode(0xA5, 0, 0, 1);
  EXPECT_EQ(line.Status().framesPerSecond, 0.0);
  for (int tick = 0; tick < 80; ++tick, now += 25'000) {  // two seconds of 25 ms ticks
    line.StartWithChannelValue(0, tick);
  }
  now -= 25'000;  // back to the time of the last frame
  const auto frames = line.Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].timeUs, now - 50'000);
  EXPECT_EQ(frames[0].slots[0], 77);
  EXPECT_EQ(frames[2].timeUs, now);
  EXPECT_EQ(frames[2].slots[0], 79);
  EXPECT_EQ(line.Status().frameCount, 80u);
  EXPECT_EQ(line.Status().framesPerSecond, 40.0);
  now += 500'000;
  EXPECT_EQ(line.Status().framesPerSecond, 20.0);
  now += 500'000;
  EXPECT_EQ(line.Status().framesPerSecond, 0.0);
}

namespace {

// An output whose fault handler the test can call after handing the output to the line.
class CFailingOutput final : public CDmxOutput {
 public:
  bool Answers(int, int) override { return true; }
  void Send(const CDmxFrame&) override {}
  void SetFaultHandler(std::function<void(const CError&)> given) override { *handler = std::move(given); }
  std::string Name() const override { return "failing"; }
  std::shared_ptr<std::function<void(const CError&)>> handler = std::make_shared<std::function<void(const CError&)>>();
};

}  // namespace

TEST(DmxLine, TheFaultHandlerReachesEveryOutputUntilReset) {
  CDmxLine line;
  std::vector<std::string> reports;
  line.SetFaultHandler([&](const CError& error) { reports.push_back(error.message); });
  auto handlerOf = [&line] {
    auto output = std::make_unique<CFailingOutput>();
    auto handler = output->handler;
    line.SetOutput(std::move(output));
    return handler;
  };
  const auto first = handlerOf();  // set before the output: handed over with it
  ASSERT_TRUE(*first);
  (*first)(CError{"first failed"});
  const auto second = handlerOf();
  line.SetFaultHandler([&](const CError& error) { reports.push_back("new: " + error.message); });
  ASSERT_TRUE(*second);  // set later: reaches the output in place
  (*second)(CError{"second failed"});
  EXPECT_EQ(reports, (std::vector<std::string>{"first failed", "new: second failed"}));

  line.Reset();  // the handler belongs to the run that set it
  EXPECT_FALSE(*second);
  EXPECT_FALSE(*handlerOf());
}
