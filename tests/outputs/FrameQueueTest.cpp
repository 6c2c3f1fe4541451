// The queue in front of the wire: command frames kept in order, a waiting level frame replaced.
#include "outputs/FrameQueue.h"

#include <gtest/gtest.h>

TEST(FrameQueue, CommandFramesAndStandBysStayInOrderWhileAWaitingLevelFrameGivesWayToTheNewest) {
  CFrameQueue queue;
  constexpr int kStandBy = -1;
  for (const auto& [startCode, tag] : {std::pair{0x00, 1}, {0x00, 2}, {0xFC, 3}, {0xFC, 4}, {0x00, 5}, {0x00, 6},
                                       {kStandBy, 0}, {kStandBy, 0}, {0x00, 8}, {0xF9, 7}}) {
    if (startCode == kStandBy) queue.PushStandBy();
    else queue.Push(CDmxFrame{0, static_cast<std::uint8_t>(startCode), 0, {static_cast<std::uint8_t>(tag)}});
  }
  std::vector<int> tags;
  while (auto work = queue.Pop()) tags.push_back(work->standBy ? 0 : work->frame.slots[0]);
  // A level frame behind a command or a stand-by stays behind it; a second stand-by adds nothing.
  EXPECT_EQ(tags, (std::vector<int>{2, 3, 4, 6, 0, 8, 7}));
  EXPECT_TRUE(queue.Empty());
}
