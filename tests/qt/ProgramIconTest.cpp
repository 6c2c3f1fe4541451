// The program icon: its pictures in res/ are the ones the program draws. Run with
// VEXMIRA_WRITE_ICONS=1 to write them again after changing the drawing.
#include "qt/ProgramIcon.h"

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

int LargestDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y);
      const QColor q = b.pixelColor(x, y);
      for (int d : {p.red() - q.red(), p.green() - q.green(), p.blue() - q.blue(), p.alpha() - q.alpha()})
        largest = std::max(largest, std::abs(d));
    }
  return largest;
}

}  // namespace

TEST(ProgramIcon, ExportedPicturesAreTheDrawnOnes) {
  const bool write = std::getenv("VEXMIRA_WRITE_ICONS") != nullptr;
  for (int size : {16, 32, 48}) {
    const QImage drawn = CProgramIcon::Draw(size).convertToFormat(QImage::Format_ARGB32);
    const QString path = QString(VEXMIRA_SOURCE_DIR) + "/res/vexmira-" + QString::number(size) + ".png";
    if (write) {
      ASSERT_TRUE(drawn.save(path)) << path.toStdString();
    }
    const QImage stored = QImage(path).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(stored.size(), QSize(size, size)) << path.toStdString();
    EXPECT_LE(LargestDifference(drawn, stored), 8) << path.toStdString() << " differs from the drawing";
  }
}

TEST(ProgramIcon, TileIsOpaqueWithTransparentCornersAtEverySize) {
  for (int size : {16, 24, 32, 48, 256}) {
    const QImage image = CProgramIcon::Draw(size);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
    EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
  }
  EXPECT_FALSE(CProgramIcon::Icon().availableSizes().isEmpty());
}
