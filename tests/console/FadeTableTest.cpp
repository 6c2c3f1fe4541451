// The fade table on its own: fade lengths, and a crossfade that covers each distance exactly in its length.
#include "ConsoleTestSupport.h"
#include "console/FadeTable.h"

TEST(FadeTable, CrossfadeCoversEveryDistanceExactlyInTheFadeLengthAndNeverPassesTheTarget) {
  // 4 ticks a tenth, wrapped to 16 bits, and never 0.
  for (const auto& [fade, length] : {std::pair{0, 1}, {6000, 24000}, {16384, 1}})
    EXPECT_EQ(CFadeTable::FadeLength(static_cast<std::uint16_t>(fade)), length);
  CFadeTable table;  // after k of T ticks a channel has moved d x k / T, rounded half up rising and half down falling

  for (const int length : {1, 2, 3, 7, 40, 255, 256, 1000}) {
    for (int d = 1; d <= 255; d += 17) {
      for (const bool rising : {true, false}) {
        const CChaseStep from = StepAll(static_cast<std::uint8_t>(rising ? 0 : d)), to = StepAll(rising ? d : 0);
        table.Build(from, to, static_cast<std::uint16_t>(length));
        CChaseStep live = from;
        for (int k = 1, half = length / 2; k <= length; ++k) {
          table.Crossfade(live, to);
          const int moved = rising ? live[0] : d - live[0];
          const int expected = rising ? (k * d + half) / length : (k * d - half + length - 1) / length;
          ASSERT_EQ(moved, expected) << length << " " << d;
        }
      }
    }
  }
}
