// The program icon (icon resource 139): three faders over lit level bars on a dark tile.
#pragma once
#include <QIcon>
#include <QImage>

class CProgramIcon final {
 public:
  // The picture at size x size pixels. It is laid out on a 16-pixel grid, so 16, 32 and
  // 48 pixels come out sharp.
  static QImage Draw(int size);
  // The icon with every size a window or desktop asks for.
  static QIcon Icon();
};
