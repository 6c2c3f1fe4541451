// Tests of the fade table's build and crossfade rule.
#include <gtest/gtest.h>

#include "ChaseTestSupport.h"
#include "console/FadeTable.h"

TEST(FadeTable, FadeLengthIsFourTicksPerTenthAndNeverZero) {
  EXPECT_EQ(CFadeTable::FadeLength(0), 1);
  EXPECT_EQ(CFadeTable::FadeLength(6000), 24000);
  EXPECT_EQ(CFadeTable::FadeLength(16384), 1);  // 65536 wraps to 0
  EXPECT_EQ(CFadeTable::FadeLength(16385), 4);
}

TEST(CrossfadeRule, CoversEveryDistanceExactlyInTheFadeLength) {
  CFadeTable table;  // at rest every channel takes its target in one tick
  CChaseStep live = StepWith({{0, 0}, {1, 255}, {2, 100}});
  table.Crossfade(live, StepWith({{0, 255}, {2, 101}, {141, 1}}));
  EXPECT_EQ(live, StepWith({{0, 255}, {2, 101}, {141, 1}}));

  // Never past the target, no slower than the straight line, there exactly on the last tick.
  for (std::uint16_t length : {1, 2, 3, 7, 40, 255, 256, 1000}) {
    for (int distance = 1; distance <= 255; distance += 17) {
      for (bool rising : {true, false}) {
        const auto low = static_cast<std::uint8_t>(rising ? 0 : 255 - distance);
        const auto high = static_cast<std::uint8_t>(rising ? distance : 255);
        const CChaseStep from = StepAll(rising ? low : high), to = StepAll(rising ? high : low);
        table.Build(from, to, length);
        CChaseStep fading = from;
        for (int tick = 1; tick <= length; ++tick) {
          table.Crossfade(fading, to);
          const int moved = rising ? fading[0] - low : high - fading[0];
          ASSERT_GE(moved, distance * tick / length) << length << " " << distance;
          ASSERT_LE(moved, distance) << length << " " << distance;
          if (tick < length) {
            ASSERT_LT(moved, distance * tick / length + 1 + (distance % length != 0 ? 1 : 0));
          }
        }
        ASSERT_EQ(fading, to) << "length " << length << " distance " << distance;
      }
    }
  }
}

TEST(CrossfadeRule, FallingChannelWithBigStepsStopsAtTheTarget) {
  // A step bigger than the level left: the 16-bit subtraction wraps and is caught.
  CFadeTable table;
  table.Build(StepAll(255), StepAll(0), 1);
  CChaseStep live = StepAll(40);
  table.Crossfade(live, StepAll(10));
  EXPECT_EQ(live, StepAll(10));
  // A borrow below zero is caught as well.
  table.Build(StepAll(3), StepAll(0), 2);  // step 1, remainder 1
  live = StepAll(1);
  table.Crossfade(live, StepAll(0));
  EXPECT_EQ(live, StepAll(0));
}
