// A picture control (a bitmap or an icon): it shows its picture and takes the picture's size.
#pragma once
#include "qt/ControlBinding.h"

#include <QPixmap>

class CPictureBinding final : public CControlBinding {
 public:
  CPictureBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange) override {}  // the picture is chosen once, by the template
  QPixmap Picture() const;
};
