// Tests of the fade table's build and crossfade rule.
#include <gtest/gtest.h>

#include "ChaseTestSupport.h"
#include "console/FadeTable.h"

TEST(FadeTable, FadeLengthIsFourTicksPerTenthAndNeverZero) {
  EXPECT_EQ(CFadeTable::FadeLength(0), 1);
  EXPECT_EQ(CFadeTable::FadeLength(10), 40);
  EXPECT_EQ(CFadeTable::FadeLength(6000), 24000);
  EXPECT_EQ(CFadeTable::FadeLength(16384), 1);  // 65536 wraps to 0
  EXPECT_EQ(CFadeTable::FadeLength(16385), 4);
}

TEST(FadeTable, AtRestEveryChannelTakesItsTargetInOneTick) {
  CFadeTable table;
  EXPECT_TRUE(table.IsAtRest());
  EXPECT_EQ(table.At(0), (CFadeTable::Channel{255, 0, 1, 0}));
  CChaseStep live = StepWith({{0, 0}, {1, 255}, {2, 100}, {3, 7}});
  const CChaseStep target = StepWith({{0, 255}, {1, 0}, {2, 101}, {3, 7}, {141, 1}});
  table.Crossfade(live, target);
  EXPECT_EQ(live, target);
  EXPECT_TRUE(table.IsAtRest());
}

TEST(CrossfadeRule, CoversTheDistanceExactlyInTheFadeLength) {
  CFadeTable table;
  table.Build(StepAll(0), StepAll(255), 40);
  EXPECT_EQ(table.At(5), (CFadeTable::Channel{6, 15, 40, 20}));
  CChaseStep live = StepAll(0);
  const CChaseStep up = StepAll(255);
  const CChaseStep down = StepAll(0);
  for (int tick = 1; tick <= 39; ++tick) {
    table.Crossfade(live, up);
  }
  EXPECT_EQ(live[0], 249);
  table.Crossfade(live, up);
  EXPECT_EQ(live[0], 255);
  table.Crossfade(live, up);
  EXPECT_EQ(live[0], 255);
  EXPECT_EQ(table.At(0).m_error, 0);  // reset once on target

  table.Build(StepAll(255), StepAll(0), 40);
  for (int tick = 1; tick <= 39; ++tick) {
    table.Crossfade(live, down);
  }
  EXPECT_EQ(live[0], 6);
  table.Crossfade(live, down);
  EXPECT_EQ(live[0], 0);

  // Every distance and length: never past the target, there exactly on the last tick.
  for (std::uint16_t length : {1, 2, 3, 7, 40, 255, 256, 1000}) {
    for (int distance = 1; distance <= 255; distance += 17) {
      for (bool rising : {true, false}) {
        const auto low = static_cast<std::uint8_t>(rising ? 0 : 255 - distance);
        const auto high = static_cast<std::uint8_t>(rising ? distance : 255);
        const CChaseStep from = StepAll(rising ? low : high);
        const CChaseStep to = StepAll(rising ? high : low);
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
  CChaseStep low = StepAll(1);
  table.Crossfade(low, StepAll(0));
  EXPECT_EQ(low, StepAll(0));
}
