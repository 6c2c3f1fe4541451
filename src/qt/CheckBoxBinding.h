// A check box: its text and tick, and BN_CLICKED once a click or Space has changed the tick.
#pragma once
#include "qt/ControlBinding.h"

class QCheckBox;

class CCheckBoxBinding final : public CControlBinding {
 public:
  CCheckBoxBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;
  void OnClicked();

  QCheckBox* m_box;
};
