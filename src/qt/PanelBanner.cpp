// Drawing the panel banner: the program's fader mark and name on a dark band.
#include "qt/PanelBanner.h"

#include "qt/ProgramIcon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

QImage CPanelBanner::Draw() {
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  QLinearGradient band(0, 0, 0, kHeight);
  band.setColorAt(0, QColor(0x2c, 0x3b, 0x5c));
  band.setColorAt(1, QColor(0x12, 0x19, 0x2a));
  painter.fillRect(image.rect(), band);
  painter.drawImage(QPoint(8, (kHeight - 48) / 2), CProgramIcon::Draw(48));
  QFont font("DejaVu Sans");
  font.setPixelSize(20);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(0xf4, 0xf6, 0xfa));
  painter.drawText(QRect(62, 16, kWidth - 66, 26), Qt::AlignLeft | Qt::AlignVCenter, "Vexmira");
  font.setBold(false);
  font.setPixelSize(10);
  painter.setFont(font);
  painter.setPen(QColor(0xff, 0xb3, 0x1a));
  painter.drawText(QRect(62, 42, kWidth - 66, 22), Qt::AlignLeft | Qt::AlignVCenter, "Fixture Setup");
  painter.end();
  return image;
}
