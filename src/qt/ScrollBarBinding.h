// A scroll bar: its range, page size and position as the dialog sets them; every user action
// becomes a scroll code, and the dialog decides where the bar goes.
#pragma once
#include "qt/ControlBinding.h"

class CScrollBarWidget;

class CScrollBarBinding final : public CControlBinding {
 public:
  CScrollBarBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;

  CScrollBarWidget* m_bar;
};
