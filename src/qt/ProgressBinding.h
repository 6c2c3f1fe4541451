// A progress bar: its range and position.
#pragma once
#include "qt/ControlBinding.h"

class QProgressBar;

class CProgressBinding final : public CControlBinding {
 public:
  CProgressBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;

  QProgressBar* m_progress;
};
