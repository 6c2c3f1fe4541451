// The upgrade transfer on a recording link: its calls tick by tick, the frames it hands over, progress.
#include "firmware/UpgradeTransfer.h"
#include "support/RecordingLink.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "UpgradeFiles.h"

namespace {

using CBuffer = CUpgradeFrameBuilder::CBuffer;
using EState = CUpgradeTransfer::EState;
const std::vector<std::string> kPages{"SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)", "SetPageValue(3)"};

struct CRun {
  std::string steps;                    // a letter per step: 'c' a new frame handed over, 's' one start, '.' no call
  std::vector<CBuffer> frames;          // every frame handed over
  std::vector<std::uint32_t> progress;  // bytes sent as each was handed over
};

// The steps of frames held `holds` ticks each from the start, then the finish.
std::string Schedule(const std::vector<int>& holds) {
  std::string steps;
  for (const int hold : holds) steps += "c.." + std::string(static_cast<std::size_t>(hold - 3), 's');
  return steps + "c";
}

CBuffer Data(std::array<std::uint8_t, 2> tag, std::uint32_t offset, const CBytes& chunk,
             const CUpgradeFrameBuilder& builder = CUpgradeFrameBuilder({1, 2, 3})) {
  CBuffer frame{};
  builder.BuildData(frame, tag, offset, chunk);
  return frame;
}
CBuffer End(std::array<std::uint8_t, 2> tag, std::uint32_t length, std::uint32_t word) {
  CBuffer frame{};
  CUpgradeFrameBuilder({1, 2, 3}).BuildBlockEnd(frame, tag, length, word);
  return frame;
}

const CBuffer kIdle = [] { CBuffer frame{}; CUpgradeFrameBuilder::BuildIdle(frame); return frame; }();

}  // namespace

class UpgradeTransfer : public ::testing::Test {
 protected:
  void SetUp() override { m_transfer.Open(); }

  // Starts `image` (if given), then ticks `count` times, or until the transfer ends when count is 0.
  CRun Run(const CUpgradeImage* image, int count = 0) {
    CRun run;
    const auto note = [&] {
      const auto calls = m_link.Calls();
      const auto described = Describe(calls);
      m_link.ClearCalls();
      run.steps += described.empty() ? '.' : described == std::vector<std::string>{"Start()"} ? 's' : described == kPages ? 'c' : '?';
      if (described != kPages) return;
      CBuffer& frame = run.frames.emplace_back();
      for (std::size_t page = 0; page < 4; ++page) std::ranges::copy(calls[page].page, frame.begin() + 142 * page);
      run.progress.push_back(m_transfer.BytesSent());
    };
    m_link.ClearCalls();
    if (image != nullptr) m_transfer.Start(*CUpgradeFile::Parse(image->bytes)), note();
    for (int tick = 0; count > 0 ? tick < count : m_transfer.State() == EState::Transferring; ++tick) m_transfer.Tick(), note();
    return run;
  }

  CRecordingLink m_link;
  CUpgradeTransfer m_transfer{m_link};
};

TEST_F(UpgradeTransfer, OpensInTheUpgradeModeWithTheIdleFrameSentEveryTickAndStandsByOnClose) {
  EXPECT_EQ(m_link.Described(), (std::vector<std::string>{"SetMode(165, 249, 6, 559)", "SetPageValue(0)",
                                                          "SetPageValue(1)", "SetPageValue(2)", "SetPageValue(3)"}));
  EXPECT_EQ(Run(nullptr, 3).steps, "sss");
  m_transfer.Close();
  EXPECT_EQ(m_link.Described(), std::vector<std::string>{"StandBy()"});
}

TEST_F(UpgradeTransfer, SendsEachBlocksChunksThenItsEndEmptyBlocksIncludedThenTheIdleFrame) {
  const CBytes a{0x30, 0x31, 0x32, 0x33, 0x34}, b{0x90, 0x91, 0x92};
  const auto image = CUpgradeImage()
                         .Block({0xA0, 0xA1}, 0, 0xAAAA, {})
                         .Block({0x10, 0x20}, 2, 0x11111111, a)
                         .Block({0x11, 0x21}, 512, 0x22222222, b)
                         .Block({0xC0, 0xC1}, 512, 0xCCCC, {});
  const CRun run = Run(&image);
  EXPECT_EQ(run.frames, (std::vector<CBuffer>{Data({0xA0, 0xA1}, 0, {}), End({0xA0, 0xA1}, 0, 0xAAAA),
                                              Data({0x10, 0x20}, 0, {a[0], a[1]}), Data({0x10, 0x20}, 2, {a[2], a[3]}),
                                              Data({0x10, 0x20}, 4, {a[4]}), End({0x10, 0x20}, 5, 0x11111111),
                                              Data({0x11, 0x21}, 0, b), End({0x11, 0x21}, 3, 0x22222222),
                                              Data({0xC0, 0xC1}, 0, {}), End({0xC0, 0xC1}, 0, 0xCCCC), kIdle}));
  EXPECT_EQ(run.steps, Schedule({85, 4, 85, 4, 4, 4, 85, 4, 85, 4}));
  // The total is reached with the last data frame, before the last block end goes out.
  EXPECT_EQ(run.progress, (std::vector<std::uint32_t>{0, 0, 2, 4, 5, 5, 8, 8, 8, 8, 8}));
  EXPECT_EQ(m_transfer.TransferTotal(), 8u);
  EXPECT_EQ(m_transfer.State(), EState::Finished);
  EXPECT_EQ(Run(nullptr, 3).steps, "sss");
}

TEST_F(UpgradeTransfer, SliderCutsTheCountdownButKeepsTheFramesQuietTicks) {
  m_transfer.SetSpeed(100);
  const auto image = CUpgradeImage().Block({1, 1}, 1, 0, {7, 8, 9});
  EXPECT_EQ(Run(&image, 10).steps, "c..ssssssss");  // the first frame: 75 ticks left
  m_transfer.SetSpeed(1);                            // hold 4: left 4 ticks from now, still sent on each
  EXPECT_EQ(Run(nullptr, 4).steps, "sssc");
  // A longer hold never stretches the frame on the line; the next one gets it.
  m_transfer.SetSpeed(100);
  EXPECT_EQ(Run(nullptr, 4 + 103).steps, "..sc.." + std::string(100, 's') + "c");
}

TEST_F(UpgradeTransfer, ANewFileReplacesTheRunningTransferFromItsFirstBlock) {
  const auto image = CUpgradeImage().Block({1, 1}, 2, 0, CBytes(10, 1));
  Run(&image, 90);
  const auto next = CUpgradeImage({7, 8, 9}).Block({5, 6}, 2, 0, {0x70, 0x71, 0x72});
  const CRun run = Run(&next, 85);
  EXPECT_EQ(run.steps, "c.." + std::string(82, 's') + "c");  // a fresh first frame
  EXPECT_EQ(run.frames.front(), Data({5, 6}, 0, {0x70, 0x71}, CUpgradeFrameBuilder({7, 8, 9})));
  EXPECT_EQ(run.progress, (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(m_transfer.TransferTotal(), 3u);
}
