// Where windows open: a place the user left them at before, if it is on a screen now; beside the
// line monitor; and the frame a window manager adds, guessed before a window has one.
#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class QWidget;

// The place (the frame's top-left) kept for the window `name`, moved as far as needed to show a
// window of `frameSize` whole on the screen it lies on; nothing when none is kept or when it lies
// on no screen of those there are now (a screen unplugged, a smaller desktop).
std::optional<QPoint> RememberedPlace(const QString& name, const QSize& frameSize);
// Keeps the place of a window that is shown.
void RememberPlace(const QString& name, const QWidget& window);

// A place for a window of `frameSize` to the right or else to the left of `other` (a frame's
// rectangle) on `room` (a screen's free area), level with it; nothing when neither side has room.
std::optional<QPoint> PlaceBeside(const QSize& frameSize, const QRect& other, const QRect& room);

// What a window manager adds around a window's contents (title bar, borders), judged by a window
// that is shown already; nothing before there is one.
QSize FrameExtra(const QWidget* shown);
