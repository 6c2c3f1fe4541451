// Tests of the time label format.
#include <gtest/gtest.h>

#include "console/TimeLabel.h"

TEST(TimeLabel, ShowsMinutesSecondsAndTenths) {
  EXPECT_EQ(FormatTenths(0), "0'0.0\"");
  EXPECT_EQ(FormatTenths(1), "0'0.1\"");
  EXPECT_EQ(FormatTenths(10), "0'1.0\"");
  EXPECT_EQ(FormatTenths(655), "1'5.5\"");
  EXPECT_EQ(FormatTenths(6000), "10'0.0\"");
  // The largest a speed setting from a file can show: 65535 + 1 tenths.
  EXPECT_EQ(FormatTenths(65536), "109'13.6\"");
}
