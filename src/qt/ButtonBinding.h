// A push button (a default push button too): its text, and BN_CLICKED when pressed.
#pragma once
#include "qt/ControlBinding.h"

class QPushButton;

class CButtonBinding final : public CControlBinding {
 public:
  CButtonBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;
  void OnClicked();

  QPushButton* m_button;
};
