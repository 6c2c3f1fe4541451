// Drawing the program icon.
#include "qt/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

struct CFader {
  int x;     // the track's pixel column on the 16-pixel grid
  int knob;  // the knob's top row
};
// Three channels at different levels: low, high, middle.
constexpr CFader kFaders[] = {{4, 8}, {8, 4}, {12, 6}};
constexpr int kTrackTop = 3;
constexpr int kTrackBottom = 13;  // one past the last row

const QColor kTileTop(0x3a, 0x4d, 0x75);
const QColor kTileBottom(0x15, 0x1d, 0x30);
const QColor kTileEdge(0x0b, 0x10, 0x1c);
const QColor kTrack(0x66, 0x73, 0x90);
const QColor kLevel(0xff, 0xb3, 0x1a);
const QColor kKnob(0xf4, 0xf6, 0xfa);
const QColor kGrip(0x5b, 0x64, 0x78);

}  // namespace

QImage CProgramIcon::Draw(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);

  // The tile: a rounded square with a light-to-dark gradient and a dark edge.
  QLinearGradient tile(0, 0, 0, 16);
  tile.setColorAt(0, kTileTop);
  tile.setColorAt(1, kTileBottom);
  // The edge stays about one pixel wide on small sizes instead of growing with the grid.
  const double edge = std::max(1.0, std::round(size / 24.0)) * 16.0 / size;
  QPainterPath outline;
  outline.addRoundedRect(QRectF(edge / 2, edge / 2, 16 - edge, 16 - edge), 2.5, 2.5);
  painter.setPen(QPen(kTileEdge, edge));
  painter.setBrush(tile);
  painter.drawPath(outline);

  // Each fader: the track above the knob unlit, below it lit with the level colour, and the knob.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::NoPen);
  for (const CFader& fader : kFaders) {
    painter.fillRect(QRectF(fader.x, kTrackTop, 1, fader.knob - kTrackTop), kTrack);
    painter.fillRect(QRectF(fader.x, fader.knob + 2, 1, kTrackBottom - fader.knob - 2), kLevel);
    painter.fillRect(QRectF(fader.x - 1, fader.knob, 3, 2), kKnob);
    // A grip line across the knob once there are pixels enough for it.
    if (size >= 32) painter.fillRect(QRectF(fader.x - 1, fader.knob + 0.75, 3, 0.5), kGrip);
  }
  painter.end();
  return image;
}

QIcon CProgramIcon::Icon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(Draw(size)));
  return icon;
}
