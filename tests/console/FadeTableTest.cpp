// The fade table: fade lengths and the crossfade rule, tick by tick.
#include "ConsoleTestSupport.h"
#include "console/FadeTable.h"

TEST(FadeTable, CrossfadeCoversEveryDistanceExactlyInTheFadeLengthAndNeverPassesTheTarget) {
  // 4 ticks a tenth, wrapped to 16 bits, and never 0.
  EXPECT_EQ((std::vector<int>{CFadeTable::FadeLength(0), CFadeTable::FadeLength(6000), CFadeTable::FadeLength(16384)}), (std::vector<int>{1, 24000, 1}));
  CFadeTable table;
  CChaseStep live;
  for (std::uint16_t length : {1, 2, 3, 7, 40, 255, 256, 1000}) {
    for (int distance = 1; distance <= 255; distance += 17) {
      for (const bool rising : {true, false}) {
        const auto low = static_cast<std::uint8_t>(rising ? 0 : 255 - distance);
        const auto high = static_cast<std::uint8_t>(rising ? distance : 255);
        const CChaseStep from = StepAll(rising ? low : high), to = StepAll(rising ? high : low);
        table.Build(from, to, length);
        live = from;
        for (int tick = 1; tick <= length; ++tick) {
          table.Crossfade(live, to);
          // No slower than the straight line, at most one ahead of it, there on the last tick.
          const int moved = rising ? live[0] - low : high - live[0];
          ASSERT_GE(moved, distance * tick / length) << length << " " << distance;
          ASSERT_LE(moved, tick < length ? distance * tick / length + 1 : distance) << length << " " << distance;
        }
        ASSERT_EQ(live, to) << "length " << length << " distance " << distance;
      }
    }
  }
  // A falling step bigger than the level left, or a borrow, wraps below zero in 16 bits: stopped at the target.
  for (const auto& [from, length, start, target] : std::initializer_list<std::array<int, 4>>{{255, 1, 40, 10}, {3, 2, 1, 0}}) {
    table.Build(StepAll(static_cast<std::uint8_t>(from)), StepAll(0), static_cast<std::uint16_t>(length));
    live = StepAll(static_cast<std::uint8_t>(start));
    table.Crossfade(live, StepAll(static_cast<std::uint8_t>(target)));
    EXPECT_EQ(live, StepAll(static_cast<std::uint8_t>(target))) << from;
  }
}
