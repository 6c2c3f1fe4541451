// A trackbar: its range, page size and position; it moves itself when the user moves it, then
// tells the dialog with a trackbar code. A vertical one has its minimum at the top.
#pragma once
#include "qt/ControlBinding.h"

class CTrackbarWidget;

class CTrackbarBinding final : public CControlBinding {
 public:
  CTrackbarBinding(CControl& control, CDialogWindow& window);

 private:
  void Show(EControlChange change) override;

  CTrackbarWidget* m_trackbar;
};
