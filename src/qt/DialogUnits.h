// Dialog units to pixels: base units of 6 x 13 pixels at 96 dpi, scaled with the screen.
#pragma once
#include "framework/Control.h"

#include <QRect>
#include <QSize>

class QScreen;

class CDialogUnits final {
 public:
  static constexpr int kBaseX = 6;
  static constexpr int kBaseY = 13;

  explicit CDialogUnits(double scale = 1.0) : m_scale(scale) {}
  // A screen's scale: its logical dots per inch over 96 (1 without a screen).
  static double ScaleOf(const QScreen* screen);

  double Scale() const { return m_scale; }
  // Horizontal and vertical lengths, rounded as the dialog manager rounds them.
  int X(int units) const;
  int Y(int units) const;
  // Position and size are converted one by one, as a dialog's controls are created.
  QRect Rect(const CRect& rect) const;
  QSize Size(int cx, int cy) const { return {X(cx), Y(cy)}; }
  // A length given in pixels at 96 dpi (bitmaps, icons).
  int Pixels(int pixelsAt96) const;

 private:
  double m_scale;
};
