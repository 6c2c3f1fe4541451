// A group box: a titled frame behind the controls it holds, never in the way of a click.
#pragma once
#include "qt/ControlBinding.h"

class QGroupBox;

class CGroupBoxBinding final : public CControlBinding {
 public:
  CGroupBoxBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;

  QGroupBox* m_box;
};
