// Tests of the upgrade transfer: block walk, hold schedule counted in ticks, progress and speed.
#include "firmware/UpgradeTransfer.h"

#include <gtest/gtest.h>

#include <vector>

#include "UpgradeImage.h"

namespace {

using CBuffer = CUpgradeFrameBuilder::CBuffer;

// One frame as the transfer put it out: when it was built, how long it stood, and on which ticks
// after its change tick it was sent.
struct CHeldFrame {
  CBuffer frame{};
  int builtAt = 0, held = 0;
  std::vector<int> sentAfter;
  std::uint32_t bytesSentWhenBuilt = 0;
};

struct CRecording {
  std::vector<CHeldFrame> frames;  // the last one is the idle frame built at the finish
  int finishedAt = -1;
};

// Starts the file and ticks until the transfer finishes (tick 0 is the start itself).
CRecording RunToEnd(CUpgradeTransfer& transfer, const CUpgradeImage& image, int limit = 100000) {
  CRecording run;
  transfer.Start(*CUpgradeFile::Parse(image.Bytes()));
  run.frames.push_back({transfer.Frame(), 0, 0, {}, transfer.BytesSent()});
  for (int tick = 1; tick <= limit && run.finishedAt < 0; ++tick) {
    const auto result = transfer.Tick();
    EXPECT_FALSE(result.frameChanged && result.transmit) << "tick " << tick;
    if (result.frameChanged) {
      run.frames.back().held = tick - run.frames.back().builtAt;
      run.frames.push_back({transfer.Frame(), tick, 0, {}, transfer.BytesSent()});
    }
    if (result.transmit) run.frames.back().sentAfter.push_back(tick - run.frames.back().builtAt);
    if (result.finished) run.finishedAt = tick;
  }
  return run;
}

// Whether each of the next `ticks` ticks sends; none of them may change the frame.
std::vector<bool> Transmits(CUpgradeTransfer& transfer, int ticks) {
  std::vector<bool> sent;
  for (int tick = 0; tick < ticks; ++tick) {
    const auto result = transfer.Tick();
    EXPECT_FALSE(result.frameChanged);
    sent.push_back(result.transmit);
  }
  return sent;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> values;
  for (int v = first; v <= last; ++v) values.push_back(v);
  return values;
}

const CUpgradeFrameBuilder kBuilder({0x01, 0x02, 0x03});

using CTag = std::array<std::uint8_t, 2>;
CBuffer DataFrame(CTag tag, std::uint32_t offset, const std::vector<std::uint8_t>& chunk) {
  CBuffer frame{};
  kBuilder.BuildData(frame, tag, offset, chunk);
  return frame;
}
CBuffer BlockEndFrame(CTag tag, std::uint32_t length, std::uint32_t word) {
  CBuffer frame{};
  kBuilder.BuildBlockEnd(frame, tag, length, word);
  return frame;
}
CBuffer IdleFrame() {
  CBuffer frame{};
  CUpgradeFrameBuilder::BuildIdle(frame);
  return frame;
}

// The frames a run built, in order.
std::vector<CBuffer> Built(const CRecording& run) {
  std::vector<CBuffer> frames;
  for (const CHeldFrame& held : run.frames) frames.push_back(held.frame);
  return frames;
}

}  // namespace

TEST(UpgradeTransfer, WalksChunksThenBlockEndOfEachBlockInFileOrder) {
  const auto a = Counting(5, 0x30);
  const auto b = Counting(3, 0x90);
  const auto image = CUpgradeImage({0x01, 0x02, 0x03})
                         .Block({0x10, 0x20}, 2, 0x11111111, a)
                         .Block({0x11, 0x21}, 512, 0x22222222, b);
  CUpgradeTransfer transfer;
  const auto run = RunToEnd(transfer, image);

  const std::vector<CBuffer> expected{
      DataFrame({0x10, 0x20}, 0, {a[0], a[1]}),
      DataFrame({0x10, 0x20}, 2, {a[2], a[3]}),
      DataFrame({0x10, 0x20}, 4, {a[4]}),  // the short last chunk
      BlockEndFrame({0x10, 0x20}, 5, 0x11111111),
      DataFrame({0x11, 0x21}, 0, b),  // chunk size above the block length: one data frame
      BlockEndFrame({0x11, 0x21}, 3, 0x22222222),
      IdleFrame(),
  };
  EXPECT_TRUE(Built(run) == expected);
  EXPECT_EQ(run.finishedAt, run.frames.back().builtAt);
  // Idle again: the idle frame goes out on every tick.
  EXPECT_TRUE(transfer.Idle());
  EXPECT_EQ(Transmits(transfer, 5), std::vector<bool>(5, true));
  EXPECT_EQ(transfer.Frame(), IdleFrame());
}

TEST(UpgradeTransfer, FirstFrameOfEachBlockIsHeld85TicksAndOthersHoldTicks) {
  const auto image = CUpgradeImage().Block({1, 1}, 4, 0, Counting(10)).Block({2, 2}, 4, 0, Counting(4));
  for (const int position : {1, 50, 100}) {
    CUpgradeTransfer transfer;
    transfer.SetSpeed(position);
    const int hold = position + 3;
    EXPECT_EQ(transfer.HoldTicks(), hold);
    const auto run = RunToEnd(transfer, image);
    // Block 1: three data frames and its end; block 2: one data frame and its end; then idle.
    ASSERT_EQ(run.frames.size(), 7u);
    for (std::size_t i = 0; i + 1 < run.frames.size(); ++i) {
      const bool first = i == 0 || i == 4;
      const int expectedHold = first ? 85 : hold;
      SCOPED_TRACE("position " + std::to_string(position) + ", frame " + std::to_string(i));
      EXPECT_EQ(run.frames[i].held, expectedHold);
      // Quiet on the change tick and the two after it, then sent on every tick up to the next change.
      EXPECT_EQ(run.frames[i].sentAfter, Range(3, expectedHold - 1));
    }
    EXPECT_EQ(run.frames[0].sentAfter.size(), 82u);
    EXPECT_TRUE(run.frames.back().sentAfter.empty());  // the finish tick itself sends nothing
  }
}

TEST(UpgradeTransfer, ZeroLengthBlocksSendAnEmptyDataFrameThenTheirBlockEnd) {
  // Empty blocks first, in the middle and last: the last one must not be dropped.
  const auto image = CUpgradeImage()
                         .Block({0xA0, 0xA1}, 0, 0xAAAA, {})
                         .Block({0xB0, 0xB1}, 8, 0xBBBB, Counting(3))
                         .Block({0xC0, 0xC1}, 512, 0xCCCC, {});
  CUpgradeTransfer transfer;
  const auto run = RunToEnd(transfer, image);

  const std::vector<CBuffer> expected{
      DataFrame({0xA0, 0xA1}, 0, {}), BlockEndFrame({0xA0, 0xA1}, 0, 0xAAAA),
      DataFrame({0xB0, 0xB1}, 0, Counting(3)), BlockEndFrame({0xB0, 0xB1}, 3, 0xBBBB),
      DataFrame({0xC0, 0xC1}, 0, {}), BlockEndFrame({0xC0, 0xC1}, 0, 0xCCCC),
      IdleFrame(),
  };
  EXPECT_TRUE(Built(run) == expected);
  ASSERT_EQ(run.frames.size(), 7u);
  EXPECT_EQ((std::vector<int>{run.frames[0].held, run.frames[4].held, run.frames[5].held}),
            (std::vector<int>{85, 85, 4}));
}

TEST(UpgradeTransfer, ProgressReachesTheTotalWithTheLastDataFrameBeforeTheLastBlockEnd) {
  const auto image = CUpgradeImage().Block({1, 1}, 3, 0, Counting(7)).Block({2, 2}, 4, 0, Counting(6));
  CUpgradeTransfer transfer;
  const auto run = RunToEnd(transfer, image);
  EXPECT_EQ(transfer.TransferTotal(), 13u);

  std::vector<std::uint32_t> progress;
  for (const auto& held : run.frames) progress.push_back(held.bytesSentWhenBuilt);
  // 3, 3, 1 bytes of block 1, its end, 4 and 2 bytes of block 2, its end, idle.
  EXPECT_EQ(progress, (std::vector<std::uint32_t>{3, 6, 7, 7, 11, 13, 13, 13}));
  EXPECT_EQ(run.frames[6].frame[6], 0xFF);  // the frame after the total is reached is the last block end
}

TEST(UpgradeTransfer, SliderCutsTheCountdownButKeepsTheFrameHold) {
  const auto image = CUpgradeImage().Block({1, 1}, 1, 0, Counting(3));
  auto parsed = CUpgradeFile::Parse(image.Bytes());
  ASSERT_TRUE(parsed);

  CUpgradeTransfer transfer;
  transfer.SetSpeed(100);
  transfer.Start(std::move(*parsed));
  for (int tick = 1; tick <= 10; ++tick) transfer.Tick();  // first frame: 75 ticks left

  transfer.SetSpeed(1);  // hold ticks 4: the first frame is left 4 ticks from now
  EXPECT_EQ(transfer.HoldTicks(), 4);
  // Its frame hold is still 85, so it goes on being sent on every tick until it changes.
  EXPECT_EQ(Transmits(transfer, 3), (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(transfer.Tick().frameChanged);
  EXPECT_EQ(transfer.Frame()[6], 1);  // the second chunk, held 4 ticks

  // A longer hold never stretches the frame already on the line.
  transfer.SetSpeed(100);
  EXPECT_EQ(Transmits(transfer, 3), (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(transfer.Tick().frameChanged);
  int ticks = 1;
  int sent = 0;
  for (auto result = transfer.Tick(); !result.frameChanged; result = transfer.Tick(), ++ticks) sent += result.transmit;
  EXPECT_EQ(ticks, 103);  // the third chunk is held the new hold ticks
  EXPECT_EQ(sent, 100);

  // A cut on the change tick itself leaves no quiet ticks: the frame hold is still 85.
  transfer.Start(*CUpgradeFile::Parse(image.Bytes()));
  transfer.SetSpeed(1);
  EXPECT_EQ(Transmits(transfer, 3), (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(transfer.Tick().frameChanged);

  // Out-of-range positions are clamped to the slider's range.
  for (const auto& [position, hold] : std::vector<std::pair<int, int>>{{0, 4}, {250, 103}}) {
    transfer.SetSpeed(position);
    EXPECT_EQ(transfer.HoldTicks(), hold);
  }
}

TEST(UpgradeTransfer, NewFileReplacesTheRunningTransferFromItsFirstBlock) {
  const auto first = CUpgradeImage().Block({1, 1}, 2, 0, Counting(10));
  const auto second = CUpgradeImage({0x07, 0x08, 0x09}).Block({5, 6}, 2, 0, Counting(3, 0x70));
  CUpgradeTransfer transfer;
  transfer.Start(*CUpgradeFile::Parse(first.Bytes()));
  for (int tick = 0; tick < 90; ++tick) transfer.Tick();  // changes at ticks 85 and 89
  EXPECT_EQ(transfer.BytesSent(), 6u);

  transfer.Start(*CUpgradeFile::Parse(second.Bytes()));
  EXPECT_FALSE(transfer.Idle());
  EXPECT_EQ(transfer.TransferTotal(), 3u);
  EXPECT_EQ(transfer.BytesSent(), 2u);
  CBuffer expected{};
  CUpgradeFrameBuilder({0x07, 0x08, 0x09}).BuildData(expected, {5, 6}, 0, Counting(2, 0x70));
  EXPECT_EQ(transfer.Frame(), expected);
  int ticks = 1;
  while (!transfer.Tick().frameChanged) ++ticks;
  EXPECT_EQ(ticks, 85);  // a fresh first frame
}
