// A static text: its text, shown whole rather than cut off.
#pragma once
#include "qt/ControlBinding.h"

class QLabel;

class CStaticBinding final : public CControlBinding {
 public:
  CStaticBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;
  void FitText();

  QLabel* m_label;
};
