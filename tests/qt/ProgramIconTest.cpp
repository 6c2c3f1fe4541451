// The program icon's pictures in res/ are the ones the program draws (the screenshot program
// writes them again after a change of the drawing).
#include "qt/ProgramIcon.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(ProgramIcon, StoredPicturesAreTheDrawnOnes) {
  for (int size : {16, 32, 48}) {
    const QImage drawn = CProgramIcon::Draw(size).convertToFormat(QImage::Format_ARGB32);
    const QImage stored = QImage(QString(VEXMIRA_SOURCE_DIR "/res/vexmira-%1.png").arg(size)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(stored.size(), QSize(size, size));
    int largest = 0;  // rendering may differ a little from one Qt to another
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        for (int shift : {0, 8, 16, 24})
          largest = std::max(largest, std::abs(int((drawn.pixel(x, y) >> shift) & 0xFF) - int((stored.pixel(x, y) >> shift) & 0xFF)));
    EXPECT_LE(largest, 8) << size;
  }
}
