// Dialog units to pixels.
#include "qt/DialogUnits.h"

#include <gtest/gtest.h>

TEST(DialogUnits, BaseUnitsOfSixByThirteenRoundedHalfUpAndScaledWithTheScreen) {
  const CDialogUnits units;
  // The launcher: 179 x 88 units.
  EXPECT_EQ(units.Size(179, 88), QSize(269, 143));  // 268.5 rounds up
  EXPECT_EQ(units.Rect({7, 27, 165, 14}), QRect(11, 44, 248, 23));
  EXPECT_EQ(units.Pixels(32), 32);
  const CDialogUnits scaled(1.5);
  EXPECT_EQ(scaled.X(4), 9);
  EXPECT_EQ(scaled.Y(8), 20);  // 19.5 rounds up
  EXPECT_EQ(scaled.Pixels(32), 48);
  EXPECT_DOUBLE_EQ(CDialogUnits::ScaleOf(nullptr), 1.0);
}
