// The program icon: its pictures in res/ are the ones the program draws. Run with
// VEXMIRA_WRITE_ICONS=1 to write them again after changing the drawing.
#include "qt/ProgramIcon.h"

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

TEST(ProgramIcon, ExportedPicturesAreTheDrawnOnes) {
  const bool write = std::getenv("VEXMIRA_WRITE_ICONS") != nullptr;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const QImage drawn = CProgramIcon::Draw(size).convertToFormat(QImage::Format_ARGB32);
    const QString path = QString(VEXMIRA_SOURCE_DIR) + "/res/vexmira-" + QString::number(size) + ".png";
    if (write) {
      ASSERT_TRUE(drawn.save(path)) << path.toStdString();
    }
    const QImage stored = QImage(path).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(stored.size(), QSize(size, size)) << path.toStdString();
    int largest = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const QColor p = drawn.pixelColor(x, y), q = stored.pixelColor(x, y);
        for (int d : {p.red() - q.red(), p.green() - q.green(), p.blue() - q.blue(), p.alpha() - q.alpha()})
          largest = std::max(largest, std::abs(d));
      }
    EXPECT_LE(largest, 8) << path.toStdString() << " differs from the drawing";
  }
  EXPECT_FALSE(CProgramIcon::Icon().availableSizes().isEmpty());
}
