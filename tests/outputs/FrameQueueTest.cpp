// The queue in front of the wire: command frames kept in order, waiting level frames replaced.
#include "outputs/FrameQueue.h"

#include <gtest/gtest.h>

namespace {

CDmxFrame Frame(std::uint8_t startCode, std::uint8_t tag) { return CDmxFrame{0, startCode, 0, {tag}}; }

std::vector<std::pair<int, int>> Drain(CFrameQueue& queue) {
  std::vector<std::pair<int, int>> taken;
  while (auto frame = queue.Pop()) taken.emplace_back(frame->startCode, frame->slots[0]);
  return taken;
}

}  // namespace

TEST(FrameQueue, CommandFramesStayInOrderAndOnlyTheWaitingLevelFrameIsReplaced) {
  CFrameQueue queue;
  EXPECT_FALSE(queue.Push(Frame(0x00, 1)));
  EXPECT_TRUE(queue.Push(Frame(0x00, 2)));  // replaces 1
  EXPECT_FALSE(queue.Push(Frame(0xFC, 3)));
  EXPECT_FALSE(queue.Push(Frame(0xFC, 4)));  // commands never merge
  EXPECT_FALSE(queue.Push(Frame(0x00, 5)));  // a level frame behind a command stays behind it
  EXPECT_TRUE(queue.Push(Frame(0x00, 6)));
  EXPECT_FALSE(queue.Push(Frame(0xF9, 7)));
  EXPECT_EQ(queue.Size(), 5u);
  EXPECT_EQ(Drain(queue), (std::vector<std::pair<int, int>>{{0x00, 2}, {0xFC, 3}, {0xFC, 4}, {0x00, 6}, {0xF9, 7}}));

  // Once the writer has taken the level frame, a new one queues instead of replacing it.
  queue.Push(Frame(0x00, 8));
  ASSERT_TRUE(queue.Pop());
  EXPECT_FALSE(queue.Push(Frame(0x00, 9)));
  EXPECT_EQ(queue.Size(), 1u);
  queue.Clear();
  EXPECT_TRUE(queue.Empty());
  EXPECT_FALSE(queue.Pop());
}
