// Frame image, mode, stand-by, history, call log and rate of the line.
#include "link/DmxLine.h"
#include "link/VirtualOutput.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace {

// An interface that sends at most 512 slots and keeps what it was given.
class CShortFrameOutput final : public CDmxOutput {
 public:
  bool Answers(int id, int model) override { return id == 1 && model == 2; }
  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override {
    if (mode.length > 512) {
      return std::unexpected(CError{"This interface sends at most 512 slots"});
    }
    return {};
  }
  void Send(const CDmxFrame& frame) override { sent->push_back(frame); }
  std::string Name() const override { return "short"; }

  std::shared_ptr<std::vector<CDmxFrame>> sent = std::make_shared<std::vector<CDmxFrame>>();
};

std::array<std::uint8_t, kPageSize> Filled(std::uint8_t value) {
  std::array<std::uint8_t, kPageSize> page;
  page.fill(value);
  return page;
}

}  // namespace

TEST(DmxLine, PageAndChannelCallsCopyAtTheCall) {
  CDmxLine line;
  ASSERT_EQ(line.SetMode(0xA5, 0, 0, 512), 0);
  auto page = Filled(0x11);
  ASSERT_EQ(line.SetPageValue(0, page.data()), 0);
  page.fill(0x22);  // the caller's buffer changes after the call: the image does not
  ASSERT_EQ(line.Start(), 0);
  ASSERT_EQ(line.SetChannelValue(5, 0x33), 0);
  ASSERT_EQ(line.Start(), 0);

  const auto frames = line.Frames();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].slots[0], 0x11);
  EXPECT_EQ(frames[0].slots[5], 0x11);  // the later channel call left the first frame alone
  EXPECT_EQ(frames[0].slots[141], 0x11);
  EXPECT_EQ(frames[0].slots[142], 0x00);
  EXPECT_EQ(frames[1].slots[5], 0x33);
  EXPECT_EQ(frames[1].slots[4], 0x11);
}

TEST(DmxLine, PagesLandAtTheirOffsetsAndPageThreeReachesTheLastSlot) {
  CDmxLine line;
  ASSERT_EQ(line.SetMode(0xA5, 0xF9, 6, 559), 0);
  for (int p = 0; p < kPageCount; ++p) {
    const auto page = Filled(static_cast<std::uint8_t>(0xA0 + p));
    ASSERT_EQ(line.SetPageValue(p, page.data()), 0);
  }
  ASSERT_EQ(line.Start(), 0);
  const auto frame = line.LastFrame();
  ASSERT_TRUE(frame);
  ASSERT_EQ(frame->slots.size(), 559u);
  for (int slot = 1; slot <= 559; ++slot) {
    ASSERT_EQ(frame->slots[slot - 1], 0xA0 + (slot - 1) / kPageSize) << "slot " << slot;
  }
  EXPECT_EQ(frame->slots[426], 0xA3);  // slot 427: first slot of page 3
  EXPECT_EQ(frame->startCode, 0xF9);
  EXPECT_EQ(frame->interval, 6);
}

TEST(DmxLine, BadPagesAndChannelsAreRefusedWithoutTouchingTheImage) {
  CDmxLine line;
  ASSERT_EQ(line.SetMode(0xA5, 0, 0, 559), 0);
  const auto page = Filled(0x77);
  EXPECT_NE(line.SetPageValue(-1, page.data()), 0);
  EXPECT_NE(line.SetPageValue(4, page.data()), 0);
  EXPECT_NE(line.SetPageValue(0, nullptr), 0);
  EXPECT_NE(line.SetChannelValue(-1, 9), 0);
  EXPECT_NE(line.SetChannelValue(kImageSize, 9), 0);
  EXPECT_NE(line.StartWithPageValue(7, page.data()), 0);  // the start still happens
  ASSERT_EQ(line.FrameCount(), 1u);
  EXPECT_EQ(line.LastFrame()->slots, std::vector<std::uint8_t>(559, 0));
}

TEST(DmxLine, ChannelCallsSetOneSlotAndTakeTheValueAsAByte) {
  CDmxLine line;
  ASSERT_EQ(line.SetMode(0xA5, 0xFD, 0, 559), 0);
  EXPECT_EQ(line.SetChannelValue(0, 1), 0);
  EXPECT_EQ(line.SetChannelValue(1, 0x1FF), 0);
  EXPECT_EQ(line.SetChannelValue(2, -1), 0);
  EXPECT_EQ(line.SetChannelValue(558, 0x42), 0);
  EXPECT_EQ(line.SetChannelValue(567, 0x43), 0);  // in the image, beyond any frame
  EXPECT_EQ(line.StartWithChannelValue(300, 0x99), 0);
  const auto frame = line.LastFrame();
  ASSERT_TRUE(frame);
  ASSERT_EQ(frame->slots.size(), 559u);
  EXPECT_EQ(frame->slots[0], 1);
  EXPECT_EQ(frame->slots[1], 0xFF);
  EXPECT_EQ(frame->slots[2], 0xFF);
  EXPECT_EQ(frame->slots[3], 0);
  EXPECT_EQ(frame->slots[300], 0x99);
  EXPECT_EQ(frame->slots[558], 0x42);
}

TEST(DmxLine, SendsNothingInStandByUntilTheNextSetMode) {
  CDmxLine line;
  EXPECT_TRUE(line.Status().standBy);
  EXPECT_EQ(line.Start(), 0);
  EXPECT_EQ(line.FrameCount(), 0u);  // a fresh line stands by

  ASSERT_EQ(line.SetMode(0xA5, 0, 0, 512), 0);
  EXPECT_FALSE(line.Status().standBy);
  line.Start();
  EXPECT_EQ(line.FrameCount(), 1u);

  line.StandBy();
  EXPECT_TRUE(line.Status().standBy);
  line.Start();
  line.StartWithChannelValue(10, 0x55);  // the set part still lands in the image
  const auto page = Filled(0x66);
  line.StartWithPageValue(1, page.data());
  EXPECT_EQ(line.FrameCount(), 1u);
  EXPECT_EQ(line.Frames().size(), 1u);

  ASSERT_EQ(line.SetMode(0xA5, 0, 0, 512), 0);
  line.Start();
  ASSERT_EQ(line.FrameCount(), 2u);
  EXPECT_EQ(line.LastFrame()->slots[10], 0x55);
  EXPECT_EQ(line.LastFrame()->slots[142], 0x66);
}

TEST(DmxLine, FramesCarryTheModeOfEachLengthInUse) {
  CDmxLine line;
  line.SetChannelValue(0, 0x12);
  line.SetChannelValue(1, 0x34);
  line.SetChannelValue(2, 0x56);

  ASSERT_EQ(line.SetMode(0xA5, 0xFC, 0, 2), 0);
  line.Start();
  auto frame = line.LastFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->startCode, 0xFC);
  EXPECT_EQ(frame->slots, (std::vector<std::uint8_t>{0x12, 0x34}));

  ASSERT_EQ(line.SetMode(0xA5, 0xF6, 9, 512), 0);
  line.Start();
  frame = line.LastFrame();
  EXPECT_EQ(frame->startCode, 0xF6);
  EXPECT_EQ(frame->interval, 9);
  EXPECT_EQ(frame->slots.size(), 512u);

  ASSERT_EQ(line.SetMode(0xA5, 0xF9, 6, 559), 0);
  line.Start();
  EXPECT_EQ(line.LastFrame()->slots.size(), 559u);
  EXPECT_EQ(line.Status().mode, (CDmxMode{0xA5, 0xF9, 6, 559}));
}

TEST(DmxLine, ImpossibleModesAreRefusedAndStopSending) {
  CDmxLine line;
  ASSERT_EQ(line.SetMode(0xA5, 0, 0, 512), 0);
  EXPECT_TRUE(line.LastError().empty());
  for (int length : {0, -1, 560, 568}) {
    EXPECT_NE(line.SetMode(0xA5, 0xF9, 6, length), 0) << length;
    EXPECT_FALSE(line.LastError().empty());
  }
  EXPECT_NE(line.SetMode(0xA5, 0x100, 0, 512), 0);
  EXPECT_EQ(line.Status().mode, (CDmxMode{0xA5, 0, 0, 512}));  // the previous mode stays
  EXPECT_TRUE(line.Status().standBy);
  line.Start();
  EXPECT_EQ(line.FrameCount(), 0u);

  ASSERT_EQ(line.SetMode(0xA5, 0xFE, 0, 512), 0);
  EXPECT_TRUE(line.LastError().empty());
  line.Start();
  EXPECT_EQ(line.FrameCount(), 1u);
}

TEST(DmxLine, OutputThatRefusesLongFramesKeepsThePreviousModeAndNothingGoesOut) {
  CDmxLine line;
  auto output = std::make_unique<CShortFrameOutput>();
  const auto sent = output->sent;
  line.SetOutput(std::move(output));
  ASSERT_EQ(line.SetMode(0xA5, 0, 0, 512), 0);
  line.Start();
  ASSERT_EQ(sent->size(), 1u);

  EXPECT_NE(line.SetMode(0xA5, 0xF9, 6, 559), 0);
  EXPECT_EQ(line.LastError(), "This interface sends at most 512 slots");
  EXPECT_EQ(line.Status().mode.length, 512);
  line.Start();
  line.StartWithChannelValue(0, 1);
  EXPECT_EQ(sent->size(), 1u);
  EXPECT_EQ(line.FrameCount(), 1u);

  ASSERT_EQ(line.SetMode(0xA5, 0xFD, 0, 512), 0);
  line.Start();
  ASSERT_EQ(sent->size(), 2u);
  EXPECT_EQ((*sent)[1].startCode, 0xFD);
  EXPECT_EQ((*sent)[1].slots, line.LastFrame()->slots);
  EXPECT_EQ(line.Status().outputName, "short");
}

TEST(DmxLine, OpenAnswersAsTheOutputDoes) {
  CDmxLine line;
  EXPECT_NE(line.Open(0x8888, 0x0102), 0);  // no output at all

  line.SetOutput(std::make_unique<CVirtualOutput>());
  EXPECT_EQ(line.Open(0x8888, 0x0102), 0);
  EXPECT_EQ(line.Open(0x8888, 0x0101), 0);
  EXPECT_NE(line.Open(0x8887, 0x0101), 0);
  EXPECT_NE(line.Open(0x8888, 0x0103), 0);

  line.SetOutput(std::make_unique<CVirtualOutput>(kVirtualModelA));
  EXPECT_NE(line.Open(0x8888, 0x0102), 0);
  EXPECT_EQ(line.Open(0x8888, 0x0101), 0);
  EXPECT_EQ(line.Status().outputName, "virtual:0x0101");
}

TEST(DmxLine, ReplacingTheOutputStartsAFreshLine) {
  CDmxLine line;
  line.SetMode(0xA5, 0xF6, 9, 2);
  line.StartWithChannelValue(0, 5);
  line.SetOutput(std::make_unique<CVirtualOutput>());
  const CLineStatus status = line.Status();
  EXPECT_EQ(status.frameCount, 0u);
  EXPECT_TRUE(status.standBy);
  EXPECT_FALSE(status.lastFrame);
  EXPECT_EQ(status.mode, CDmxMode{});
  line.SetMode(0xA5, 0, 0, 2);
  line.Start();
  EXPECT_EQ(line.LastFrame()->slots, (std::vector<std::uint8_t>{0, 0}));
}

TEST(DmxLine, ResetDropsEverythingSetUpBefore) {
  CDmxLine line;
  std::int64_t now = 5'000'000;
  line.SetClock([&now] { return now; });
  line.SetOutput(std::make_unique<CVirtualOutput>());
  line.SetRecording(true);
  line.SetHistoryLimit(1);
  line.SetMode(0xA5, 0, 0, 4);
  line.StartWithChannelValue(1, 9);
  line.Start();
  ASSERT_FALSE(line.Calls().empty());

  line.Reset();
  EXPECT_EQ(line.FrameCount(), 0u);
  EXPECT_TRUE(line.Frames().empty());
  EXPECT_TRUE(line.Calls().empty());
  EXPECT_TRUE(line.Status().standBy);
  EXPECT_EQ(line.Status().outputName, "");
  EXPECT_NE(line.Open(0x8888, 0x0102), 0);
  EXPECT_TRUE(line.Calls().empty());  // recording is off again

  now = -1;  // the fake clock is no longer asked
  line.SetMode(0xA5, 0, 0, 4);
  line.Start();
  line.Start();
  EXPECT_EQ(line.Frames().size(), 2u);  // the history bound is back to its default
  EXPECT_GE(line.LastFrame()->timeUs, 0);
  EXPECT_EQ(line.LastFrame()->slots, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(DmxLine, HistoryKeepsTheLatestFramesAndCountsAll) {
  CDmxLine line;
  line.SetHistoryLimit(3);
  line.SetMode(0xA5, 0, 0, 1);
  for (int i = 0; i < 5; ++i) {
    line.StartWithChannelValue(0, i);
  }
  EXPECT_EQ(line.FrameCount(), 5u);
  const auto frames = line.Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].slots[0], 2);
  EXPECT_EQ(frames[2].slots[0], 4);
  EXPECT_EQ(line.Status().lastFrame->slots[0], 4);
}

TEST(DmxLine, RecordingLogsEveryCallWithItsArgumentsAndPageCopies) {
  CDmxLine line;
  line.Open(1, 2);
  EXPECT_TRUE(line.Calls().empty());

  line.SetRecording(true);
  auto page = Filled(0x3C);
  line.Open(0x8888, 0x0101);
  line.SetMode(0xA5, 0xFE, 0, 512);
  line.SetPageValue(2, page.data());
  page.fill(0);
  line.SetChannelValue(7, 300);
  line.Start();
  line.StartWithPageValue(9, page.data());
  line.StartWithChannelValue(1, 2);
  line.StandBy();

  const auto calls = line.Calls();
  ASSERT_EQ(calls.size(), 8u);
  EXPECT_EQ(calls[0].call, ELinkCall::Open);
  EXPECT_EQ(calls[0].args, (std::array<std::int32_t, 4>{0x8888, 0x0101, 0, 0}));
  EXPECT_EQ(calls[1].call, ELinkCall::SetMode);
  EXPECT_EQ(calls[1].args, (std::array<std::int32_t, 4>{0xA5, 0xFE, 0, 512}));
  EXPECT_EQ(calls[2].call, ELinkCall::SetPageValue);
  EXPECT_EQ(calls[2].args[0], 2);
  EXPECT_EQ(calls[2].page, std::vector<std::uint8_t>(kPageSize, 0x3C));
  EXPECT_EQ(calls[3].call, ELinkCall::SetChannelValue);
  EXPECT_EQ(calls[3].args, (std::array<std::int32_t, 4>{7, 300, 0, 0}));  // as given
  EXPECT_TRUE(calls[3].page.empty());
  EXPECT_EQ(calls[4].call, ELinkCall::Start);
  EXPECT_EQ(calls[5].call, ELinkCall::StartWithPageValue);
  EXPECT_EQ(calls[5].args[0], 9);
  EXPECT_EQ(calls[5].page, std::vector<std::uint8_t>(kPageSize, 0));
  EXPECT_EQ(calls[6].call, ELinkCall::StartWithChannelValue);
  EXPECT_EQ(calls[7].call, ELinkCall::StandBy);

  line.ClearCalls();
  EXPECT_TRUE(line.Calls().empty());
  for (std::size_t i = 0; i < CDmxLine::kCallLogLimit + 2; ++i) {
    line.SetChannelValue(static_cast<std::int32_t>(i % kImageSize), 0);
  }
  const auto bounded = line.Calls();
  ASSERT_EQ(bounded.size(), CDmxLine::kCallLogLimit);
  EXPECT_EQ(bounded.front().args[0], 2);  // the two oldest were dropped
}

TEST(DmxLine, FramesAreStampedByTheClockAndCountedOverTheLastSecond) {
  CDmxLine line;
  std::int64_t now = 10'000'000;
  line.SetClock([&now] { return now; });
  line.SetMode(0xA5, 0, 0, 512);
  EXPECT_EQ(line.Status().framesPerSecond, 0.0);

  for (int tick = 0; tick < 80; ++tick) {  // two seconds of 25 ms ticks
    line.Start();
    now += 25'000;
  }
  now -= 25'000;  // back to the time of the last frame
  EXPECT_EQ(line.LastFrame()->timeUs, now);
  EXPECT_EQ(line.Frames().front().timeUs, 10'000'000);
  EXPECT_EQ(line.Status().framesPerSecond, 40.0);

  now += 500'000;
  EXPECT_EQ(line.Status().framesPerSecond, 20.0);
  now += 500'000;
  EXPECT_EQ(line.Status().framesPerSecond, 0.0);
  EXPECT_EQ(line.Status().frameCount, 80u);
}

namespace {

// An output that can fail on demand and reports through whatever handler it holds.
class CFailingOutput final : public CDmxOutput {
 public:
  bool Answers(int, int) override { return true; }
  void Send(const CDmxFrame&) override {}
  void SetFaultHandler(std::function<void(const CError&)> given) override { *handler = std::move(given); }
  std::string Name() const override { return "failing"; }

  // Shared so a test can make the output fail after handing it to the line.
  std::shared_ptr<std::function<void(const CError&)>> handler =
      std::make_shared<std::function<void(const CError&)>>();
};

}  // namespace

TEST(DmxLine, TheFaultHandlerReachesEveryOutputUntilReset) {
  CDmxLine line;
  std::vector<std::string> reports;
  line.SetFaultHandler([&](const CError& error) { reports.push_back(error.message); });

  auto first = std::make_unique<CFailingOutput>();
  const auto firstHandler = first->handler;
  line.SetOutput(std::move(first));  // set before the output: handed over with it
  ASSERT_TRUE(*firstHandler);
  (*firstHandler)(CError{"first failed"});

  auto second = std::make_unique<CFailingOutput>();
  const auto secondHandler = second->handler;
  line.SetOutput(std::move(second));
  line.SetFaultHandler([&](const CError& error) { reports.push_back("new: " + error.message); });
  ASSERT_TRUE(*secondHandler);  // set later: reaches the output in place
  (*secondHandler)(CError{"second failed"});
  EXPECT_EQ(reports, (std::vector<std::string>{"first failed", "new: second failed"}));

  line.Reset();  // the handler belongs to the run that set it
  EXPECT_FALSE(*secondHandler);
  auto third = std::make_unique<CFailingOutput>();
  const auto thirdHandler = third->handler;
  line.SetOutput(std::move(third));
  EXPECT_FALSE(*thirdHandler);
}
