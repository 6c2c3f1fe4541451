// The program icon's pictures in res/ are the ones the program draws (the screenshot program writes them).
#include "qt/ProgramIcon.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(ProgramIcon, StoredPicturesAreTheDrawnOnes) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QImage drawn = CProgramIcon::Draw(size).convertToFormat(QImage::Format_ARGB32);
    const QString path = QString(VEXMIRA_SOURCE_DIR "/res/vexmira-%1.png").arg(size);
    const QImage stored = QImage(path).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(stored.size(), QSize(size, size));
    int largest = 0;  // rendering may differ a little from one Qt to another
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const QRgb p = drawn.pixel(x, y), q = stored.pixel(x, y);
        for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q), qAlpha(p) - qAlpha(q)})
          largest = std::max(largest, std::abs(d));
      }
    EXPECT_LE(largest, 8) << size;
  }
}
