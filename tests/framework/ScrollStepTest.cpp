// The scroll stepping rule, on a bar of range 0 to 480.
#include "framework/Messages.h"
#include "framework/ScrollStep.h"

#include <gtest/gtest.h>

TEST(ScrollStep, LinesAndPagesClampToTheEndsAndABarAtTheEndItIsPushedTowardStays) {
  const struct {
    int code, pos, track, next;  // next -1: the bar does not move
  } cases[] = {{SB_LINELEFT, 7, 0, 6},       {SB_LINELEFT, 0, 0, -1},         {SB_LINERIGHT, 7, 0, 8},
               {SB_LINERIGHT, 480, 0, -1},   {SB_PAGELEFT, 17, 0, 7},         {SB_PAGELEFT, 7, 0, 0},
               {SB_PAGELEFT, 0, 0, -1},      {SB_PAGERIGHT, 7, 0, 17},        {SB_PAGERIGHT, 475, 0, 480},
               {SB_PAGERIGHT, 480, 0, -1},   {SB_THUMBTRACK, 7, 300, 300},    {SB_THUMBTRACK, 7, 0, 0},
               {SB_THUMBTRACK, 0, 600, 480}, {SB_THUMBPOSITION, 7, 300, -1},  {SB_LEFT, 7, 0, -1},
               {SB_RIGHT, 7, 0, -1},         {SB_ENDSCROLL, 7, 0, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(StepScrollBar(c.code, c.pos, c.track, 480).value_or(-1), c.next) << "code " << c.code << " at " << c.pos;
}
