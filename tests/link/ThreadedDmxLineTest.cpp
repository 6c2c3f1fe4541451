// Two threads feeding the line at once, as the GUI thread and the console tick do.
#include "link/DmxLine.h"
#include "support/RecordingLink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <thread>

namespace {

constexpr int kIterations = 3000;

// The values of the runs of equal slots in [first, first + count), in order.
std::vector<std::uint8_t> Runs(const std::vector<std::uint8_t>& slots, int first, int count) {
  std::vector<std::uint8_t> runs;
  std::unique_copy(slots.begin() + first, slots.begin() + first + count, std::back_inserter(runs));
  return runs;
}

// A page with every slot at `value`.
std::vector<std::uint8_t> Page(int value) { return std::vector<std::uint8_t>(kPageSize, value & 0xFF); }

}  // namespace

TEST(ThreadedDmxLine, FramesAreNeverTornAndEveryStartIsCounted) {
  CRecordingLink link;
  CDmxLine& line = link.Line();
  ASSERT_EQ(line.DmxLinkSetMode(kLinkMark, 0, 0, kMaxSlots), 0);
  std::atomic<int> running{2};

  // Thread A: whole pages into page 0, each with a start.
  std::thread a([&] {
    for (int i = 1; i <= kIterations; ++i) line.DmxLinkTransmitStartWithPageValue(0, Page(i).data());
    --running;
  });
  // Thread B: whole pages into page 1, sweeps of channel calls over page 2, and starts.
  std::thread b([&] {
    for (int j = 1; j <= kIterations; ++j) {
      line.DmxLinkTransmitSetPageValue(1, Page(j).data());
      for (int c = 2 * kPageSize; c < 3 * kPageSize; ++c) line.DmxLinkTransmitSetChannelValue(c, j);
      line.DmxLinkTransmitStart();
    }
    --running;
  });
  std::uint64_t lastSeen = 0;
  while (running.load() > 0) {  // the line monitor reads while both feed
    EXPECT_GE(line.Status().frameCount, lastSeen);
    lastSeen = line.Status().frameCount;
  }
  a.join();
  b.join();

  ASSERT_EQ(line.Status().frameCount, 2u * kIterations);
  const auto frames = link.Frames();
  ASSERT_EQ(frames.size(), 2u * kIterations);
  std::uint8_t page0 = 0, page1 = 0;
  for (std::size_t n = 0; n < frames.size(); ++n) {
    const auto& slots = frames[n].slots;
    ASSERT_EQ(slots.size(), static_cast<std::size_t>(kMaxSlots));
    ASSERT_EQ(Runs(slots, 0, kPageSize).size(), 1u) << n;
    ASSERT_EQ(Runs(slots, kPageSize, kPageSize).size(), 1u) << n;
    // A page written channel by channel in ascending order, sweep after sweep with the value one
    // up: any snapshot is a run of the new value followed by a run of the previous one.
    const auto sweep = Runs(slots, 2 * kPageSize, kPageSize);
    ASSERT_TRUE(sweep.size() == 1 || (sweep.size() == 2 && static_cast<std::uint8_t>(sweep[1] + 1) == sweep[0])) << n;
    // Each thread's pages move on one step at a time, in the order the frames went out.
    ASSERT_EQ(static_cast<std::uint8_t>(slots[0] - page0) & 0xFE, 0) << n;
    ASSERT_EQ(static_cast<std::uint8_t>(slots[kPageSize] - page1) & 0xFE, 0) << n;
    page0 = slots[0];
    page1 = slots[kPageSize];
  }
  EXPECT_TRUE(page0 == static_cast<std::uint8_t>(kIterations) && page1 == page0);
}
