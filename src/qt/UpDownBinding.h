// An up-down control without a buddy: each step of an arrow moves its position and reports it
// (SB_THUMBPOSITION), the release ends the action (SB_ENDSCROLL).
#pragma once
#include "qt/ControlBinding.h"

class CUpDownWidget;

class CUpDownBinding final : public CControlBinding {
 public:
  CUpDownBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange) override {}  // its arrows show no state
  void OnStep(int direction);

  CUpDownWidget* m_upDown;
};
