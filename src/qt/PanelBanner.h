// The architectural fixture panel's banner (bitmap resource 142, 160 x 81 pixels).
#pragma once
#include <QImage>

class CPanelBanner final {
 public:
  static constexpr int kWidth = 160;
  static constexpr int kHeight = 81;
  static QImage Draw();
};
