// Tests of the upgrade transfer: block walk, hold schedule counted in ticks, progress and speed.
#include "firmware/UpgradeTransfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UpgradeImage.h"

namespace {

using CBuffer = CUpgradeFrameBuilder::CBuffer;
using CTag = std::array<std::uint8_t, 2>;

// One tick as a letter: 'c' the frame changed (quietly), 's' the frame was sent, '.' nothing,
// 'X' both at once (never allowed).
char Code(const CUpgradeTransfer::CTickResult& r) {
  return r.frameChanged ? (r.transmit ? 'X' : 'c') : (r.transmit ? 's' : '.');
}

std::string Trace(CUpgradeTransfer& transfer, int ticks) {
  std::string trace;
  while (ticks-- > 0) trace += Code(transfer.Tick());
  return trace;
}

// The expected ticks of frames held `holds` ticks each, then the finish tick.
std::string Schedule(const std::vector<int>& holds) {
  std::string trace;
  for (const int hold : holds) trace += "c.." + std::string(static_cast<std::size_t>(hold - 3), 's');
  return trace + "c";
}

struct CRun {
  std::vector<CBuffer> frames;         // every frame built, the idle frame at the finish last
  std::vector<std::uint32_t> progress; // bytes sent when each was built
  std::string ticks;                   // from the start (a 'c') to the finish tick
};

CRun RunToEnd(CUpgradeTransfer& transfer, const CUpgradeImage& image) {
  CRun run;
  transfer.Start(*CUpgradeFile::Parse(image.Bytes()));
  for (CUpgradeTransfer::CTickResult r{.frameChanged = true}; run.ticks.size() < 100000; r = transfer.Tick()) {
    run.ticks += Code(r);
    if (r.frameChanged) {
      run.frames.push_back(transfer.Frame());
      run.progress.push_back(transfer.BytesSent());
    }
    if (r.finished) break;
  }
  return run;
}

const CUpgradeFrameBuilder kBuilder({0x01, 0x02, 0x03});

CBuffer DataFrame(CTag tag, std::uint32_t offset, const std::vector<std::uint8_t>& chunk,
                  const CUpgradeFrameBuilder& builder = kBuilder) {
  CBuffer frame{};
  builder.BuildData(frame, tag, offset, chunk);
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

}  // namespace

TEST(UpgradeTransfer, WalksChunksThenBlockEndOfEachBlockIncludingEmptyOnes) {
  // Empty blocks first and last (the last one must not be dropped), short last chunks, a chunk
  // size above the block length.
  const auto a = Counting(5, 0x30);
  const auto b = Counting(3, 0x90);
  const auto image = CUpgradeImage()
                         .Block({0xA0, 0xA1}, 0, 0xAAAA, {})
                         .Block({0x10, 0x20}, 2, 0x11111111, a)
                         .Block({0x11, 0x21}, 512, 0x22222222, b)
                         .Block({0xC0, 0xC1}, 512, 0xCCCC, {});
  CUpgradeTransfer transfer;
  const auto run = RunToEnd(transfer, image);
  EXPECT_TRUE(run.frames == (std::vector<CBuffer>{
                                DataFrame({0xA0, 0xA1}, 0, {}), BlockEndFrame({0xA0, 0xA1}, 0, 0xAAAA),
                                DataFrame({0x10, 0x20}, 0, {a[0], a[1]}), DataFrame({0x10, 0x20}, 2, {a[2], a[3]}),
                                DataFrame({0x10, 0x20}, 4, {a[4]}), BlockEndFrame({0x10, 0x20}, 5, 0x11111111),
                                DataFrame({0x11, 0x21}, 0, b), BlockEndFrame({0x11, 0x21}, 3, 0x22222222),
                                DataFrame({0xC0, 0xC1}, 0, {}), BlockEndFrame({0xC0, 0xC1}, 0, 0xCCCC),
                                IdleFrame(),
                            }));
  EXPECT_EQ(run.ticks, Schedule({85, 4, 85, 4, 4, 4, 85, 4, 85, 4}));
  // The total is reached with the last data frame, before the last block end goes out.
  EXPECT_EQ(transfer.TransferTotal(), 8u);
  EXPECT_EQ(run.progress, (std::vector<std::uint32_t>{0, 0, 2, 4, 5, 5, 8, 8, 8, 8, 8}));
  // Idle again: the idle frame goes out on every tick.
  EXPECT_TRUE(transfer.Idle());
  EXPECT_EQ(Trace(transfer, 5), "sssss");
  EXPECT_EQ(transfer.Frame(), IdleFrame());
}

TEST(UpgradeTransfer, FirstFrameOfEachBlockIsHeld85TicksAndOthersHoldTicks) {
  const auto image = CUpgradeImage().Block({1, 1}, 4, 0, Counting(10)).Block({2, 2}, 4, 0, Counting(4));
  for (const int position : {1, 50, 100}) {
    CUpgradeTransfer transfer;
    transfer.SetSpeed(position);
    const int h = position + 3;
    EXPECT_EQ(transfer.HoldTicks(), h);
    // Quiet on the change tick and the two after it; the finish tick sends nothing.
    EXPECT_EQ(RunToEnd(transfer, image).ticks, Schedule({85, h, h, h, 85, h})) << position;
  }
}

TEST(UpgradeTransfer, SliderCutsTheCountdownButKeepsTheFrameHold) {
  const auto image = CUpgradeImage().Block({1, 1}, 1, 0, Counting(3));
  CUpgradeTransfer transfer;
  transfer.SetSpeed(100);
  transfer.Start(*CUpgradeFile::Parse(image.Bytes()));
  EXPECT_EQ(Trace(transfer, 10), "..ssssssss");  // first frame: 75 ticks left
  transfer.SetSpeed(1);  // hold 4: the first frame is left 4 ticks from now, still sent every tick
  EXPECT_EQ(transfer.HoldTicks(), 4);
  EXPECT_EQ(Trace(transfer, 4), "sssc");
  EXPECT_EQ(transfer.Frame()[6], 1);  // the second chunk, held 4 ticks
  // A longer hold never stretches the frame already on the line; the next one gets it.
  transfer.SetSpeed(100);
  EXPECT_EQ(Trace(transfer, 4 + 103), "..sc.." + std::string(100, 's') + "c");

  // A cut on the change tick itself leaves no quiet ticks: the frame hold is still 85.
  transfer.Start(*CUpgradeFile::Parse(image.Bytes()));
  transfer.SetSpeed(1);
  EXPECT_EQ(Trace(transfer, 4), "sssc");

  // Out-of-range positions are clamped to the slider's range.
  transfer.SetSpeed(0);
  EXPECT_EQ(transfer.HoldTicks(), 4);
  transfer.SetSpeed(250);
  EXPECT_EQ(transfer.HoldTicks(), 103);
}

TEST(UpgradeTransfer, NewFileReplacesTheRunningTransferFromItsFirstBlock) {
  CUpgradeTransfer transfer;
  transfer.Start(*CUpgradeFile::Parse(CUpgradeImage().Block({1, 1}, 2, 0, Counting(10)).Bytes()));
  Trace(transfer, 90);
  transfer.Start(*CUpgradeFile::Parse(CUpgradeImage({7, 8, 9}).Block({5, 6}, 2, 0, Counting(3, 0x70)).Bytes()));
  EXPECT_EQ((std::vector<std::uint32_t>{transfer.TransferTotal(), transfer.BytesSent()}),
            (std::vector<std::uint32_t>{3, 2}));
  EXPECT_EQ(transfer.Frame(), DataFrame({5, 6}, 0, Counting(2, 0x70), CUpgradeFrameBuilder({7, 8, 9})));
  EXPECT_EQ(Trace(transfer, 85), ".." + std::string(82, 's') + "c");  // a fresh first frame
}
