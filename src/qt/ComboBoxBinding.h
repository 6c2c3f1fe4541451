// A combo box: its items and selection; the user's choice selects the item, then CBN_SELCHANGE.
#pragma once
#include "qt/ControlBinding.h"

class QComboBox;

class CComboBoxBinding final : public CControlBinding {
 public:
  CComboBoxBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;
  void OnChosen(int index);

  QComboBox* m_combo;
};
