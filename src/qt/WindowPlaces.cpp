// Remembered window places in the user's settings, and placing one window beside another.
#include "qt/WindowPlaces.h"

#include "qt/UserSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

constexpr int kGap = 8;         // between two windows placed side by side
constexpr int kGrip = 40;       // how much of a window's top edge must lie on a screen to find it there

QString Key(const QString& name) { return "Windows/" + name; }

}  // namespace

std::optional<QPoint> RememberedPlace(const QString& name, const QSize& frameSize) {
  const QVariant kept = UserSettings().value(Key(name));
  if (!kept.canConvert<QPoint>()) return std::nullopt;
  const QRect window(kept.toPoint(), frameSize);
  // The title bar's middle is what the user takes the window by: it must be on a screen.
  const QRect grip(window.center().x() - kGrip / 2, window.top(), kGrip, std::min(kGrip, window.height()));
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect room = screen->availableGeometry();
    if (!room.contains(grip)) continue;
    return QPoint(std::clamp(window.left(), room.left(), std::max(room.left(), room.right() + 1 - window.width())),
                  std::clamp(window.top(), room.top(), std::max(room.top(), room.bottom() + 1 - window.height())));
  }
  return std::nullopt;
}

void RememberPlace(const QString& name, const QWidget& window) { UserSettings().setValue(Key(name), window.pos()); }

std::optional<QPoint> PlaceBeside(const QSize& frameSize, const QRect& other, const QRect& room) {
  if (frameSize.height() > room.height()) return std::nullopt;
  const int y = std::clamp(other.top(), room.top(), room.bottom() + 1 - frameSize.height());
  if (other.right() + kGap + frameSize.width() <= room.right()) return QPoint(other.right() + 1 + kGap, y);
  if (other.left() - kGap - frameSize.width() >= room.left()) return QPoint(other.left() - kGap - frameSize.width(), y);
  return std::nullopt;
}

QSize FrameExtra(const QWidget* shown) {
  if (!shown || !shown->isVisible()) return {};
  return shown->frameGeometry().size() - shown->geometry().size();
}
