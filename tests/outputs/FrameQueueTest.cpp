// The queue in front of the wire: command frames kept in order, a waiting level frame replaced.
#include "outputs/FrameQueue.h"

#include <gtest/gtest.h>

TEST(FrameQueue, CommandFramesAllStayInOrderWhileAWaitingLevelFrameGivesWayToTheNewest) {
  CFrameQueue queue;
  for (const auto& [startCode, tag] : {std::pair{0x00, 1}, {0x00, 2}, {0xFC, 3}, {0xFC, 4}, {0x00, 5}, {0x00, 6}, {0xF9, 7}}) {
    queue.Push(CDmxFrame{0, static_cast<std::uint8_t>(startCode), 0, {static_cast<std::uint8_t>(tag)}});
  }
  std::vector<int> tags;
  while (auto frame = queue.Pop()) tags.push_back(frame->slots[0]);
  EXPECT_EQ(tags, (std::vector<int>{2, 3, 4, 6, 7}));  // a level frame behind a command stays behind it
  EXPECT_TRUE(queue.Empty());
}
