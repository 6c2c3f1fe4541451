// Dialog-unit conversion.
#include "qt/DialogUnits.h"

#include <QScreen>
#include <cmath>

double CDialogUnits::ScaleOf(const QScreen* screen) {
  if (!screen) return 1.0;
  const double dpi = screen->logicalDotsPerInchX();
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

int CDialogUnits::X(int units) const { return static_cast<int>(std::lround(units * kBaseX * m_scale / 4.0)); }

int CDialogUnits::Y(int units) const { return static_cast<int>(std::lround(units * kBaseY * m_scale / 8.0)); }

QRect CDialogUnits::Rect(const CRect& rect) const { return {X(rect.x), Y(rect.y), X(rect.cx), Y(rect.cy)}; }

int CDialogUnits::Pixels(int pixelsAt96) const { return static_cast<int>(std::lround(pixelsAt96 * m_scale)); }
