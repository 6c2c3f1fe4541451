// The upgrade transfer on a recording link: its calls tick by tick, the frames it hands over, progress.
#include "firmware/UpgradeTransfer.h"
#include "support/RecordingLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "UpgradeSamples.h"

namespace {

using EState = CUpgradeTransfer::EState;
const std::vector<std::string> kPages{"SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)", "SetPageValue(3)"};

// The steps of frames held `holds` ticks each from the start, then the finish.
std::string Schedule(const std::vector<int>& holds) {
  std::string steps;
  for (const int hold : holds) steps += "c.." + std::string(static_cast<std::size_t>(hold - 3), 's');
  return steps + "c";
}

}  // namespace

class UpgradeTransfer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Run([&] { m_transfer.Open(); }), "m"); }

  // Does `action`, then ticks `count` times, or until the transfer ends when count is 0. A letter per
  // step: 'm' the mode set and a frame handed over, 'c' a frame handed over, 's' a start, '.' no call.
  // The frames handed over are kept, with the bytes sent as each was.
  std::string Run(const std::function<void()>& action, int count = 0) {
    action();
    std::string steps = Step();
    for (int tick = 0; count > 0 ? tick < count : tick < 100000 && m_transfer.State() == EState::Transferring; ++tick)
      m_transfer.Tick(), steps += Step();
    return steps;
  }
  std::function<void()> Start(const CUpgradeImage& image) {
    return [this, &image] { m_transfer.Start(*CUpgradeFile::Parse(image.bytes)); };
  }
  std::string Step() {
    auto calls = m_link.Calls();
    m_link.ClearCalls();
    if (Describe(calls) == std::vector<std::string>{"Start()"}) return "s";
    const bool mode = !calls.empty() && Describe(calls.front()) == "SetMode(165, 249, 6, 559)";
    if (mode) calls.erase(calls.begin());
    if (Describe(calls) != kPages) return calls.empty() && !mode ? "." : "?";
    CBuffer& frame = m_frames.emplace_back();
    for (std::size_t page = 0; page < 4; ++page) std::ranges::copy(calls[page].page, frame.begin() + 142 * page);
    m_progress.push_back(m_transfer.BytesSent());
    return mode ? "m" : "c";
  }

  CRecordingLink m_link;
  CUpgradeTransfer m_transfer{m_link};
  std::vector<CBuffer> m_frames;
  std::vector<std::uint32_t> m_progress;
};

TEST_F(UpgradeTransfer, SendsTheIdleFrameThenEachBlocksChunksAndEndThenIdlesAgainAndStandsByOnClose) {
  EXPECT_EQ(Run([] {}, 2), ".ss");  // the idle frame, handed over at the open
  const CBytes a{0x30, 0x31, 0x32, 0x33, 0x34};
  const auto image = CUpgradeImage().Block({0xA0, 0xA1}, 0, 0xAA, {}).Block({0x10, 0x20}, 2, 0x11223344, a)
                         .Block({0xC0, 0xC1}, 9, 0xCC, {});  // empty blocks first and last
  EXPECT_EQ(Run(Start(image)), Schedule({85, 4, 85, 4, 4, 4, 85, 4}));
  EXPECT_EQ(m_frames, (std::vector<CBuffer>{Idle(), Data({0xA0, 0xA1}, 0, {}), End({0xA0, 0xA1}, 0, 0xAA),
                                            Data({0x10, 0x20}, 0, {a[0], a[1]}), Data({0x10, 0x20}, 2, {a[2], a[3]}),
                                            Data({0x10, 0x20}, 4, {a[4]}), End({0x10, 0x20}, 5, 0x11223344),
                                            Data({0xC0, 0xC1}, 0, {}), End({0xC0, 0xC1}, 0, 0xCC), Idle()}));
  // The total is reached with the last data frame, before the last block end goes out.
  EXPECT_EQ(m_progress, (std::vector<std::uint32_t>{0, 0, 0, 2, 4, 5, 5, 5, 5, 5}));
  EXPECT_EQ(Run([] {}, 2), ".ss");
  m_transfer.Close();
  m_transfer.Close();  // once only
  EXPECT_EQ(m_link.Described(), std::vector<std::string>{"StandBy()"});
}

TEST_F(UpgradeTransfer, DuringATransferTheSliderCutsTheHoldAndANewFileStartsAfresh) {
  m_transfer.SetSpeed(100);
  const auto image = CUpgradeImage().Block({1, 1}, 1, 0, {7, 8, 9});
  EXPECT_EQ(Run(Start(image), 10), "c..ssssssss");  // the first frame: 75 ticks left
  // Hold 4: the first frame is left 4 ticks from now, still sent on each; the slider makes no call.
  EXPECT_EQ(Run([&] { m_transfer.SetSpeed(1); }, 4), ".sssc");
  // A longer hold never stretches the frame on the line; the next one gets it.
  EXPECT_EQ(Run([&] { m_transfer.SetSpeed(100); }, 4 + 103), "...sc.." + std::string(100, 's') + "c");

  const auto next = CUpgradeImage({7, 8, 9}).Block({5, 6}, 2, 0, {0x70, 0x71, 0x72});
  m_progress.clear();
  EXPECT_EQ(Run(Start(next), 85), "c.." + std::string(82, 's') + "c");  // held 85 ticks as a first frame
  EXPECT_EQ(m_frames.end()[-2], Data({5, 6}, 0, {0x70, 0x71}, {7, 8, 9}));
  EXPECT_EQ(m_progress, (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(m_transfer.TransferTotal(), 3u);
}
