// File-dialog filter lists converted to Qt's form.
#include "qt/FileFilter.h"

#include <gtest/gtest.h>

TEST(FileFilter, PairsBecomeNamedPatternListsAndStarDotStarMeansEveryFile) {
  EXPECT_EQ(ConvertFileFilter("Chase File (*.zkc)|*.zkc|All Files (*.*)|*.*||").toStdString(),
            "Chase File (*.zkc);;All Files (*)");
  EXPECT_EQ(ConvertFileFilter("Upgrade|*.zku;*.BIN||").toStdString(), "Upgrade (*.zku *.BIN)");
  // The pattern half decides, whatever the description claims.
  EXPECT_EQ(ConvertFileFilter("Chase (*.txt)|*.zkc").toStdString(), "Chase (*.zkc)");
  EXPECT_EQ(ConvertFileFilter("").toStdString(), "");
  EXPECT_EQ(ConvertFileFilter("Lonely description").toStdString(), "Lonely description (*)");
}
