// The about box, reached from the launcher's system menu.
#pragma once
#include "framework/Dialog.h"

class CAboutDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 100;
  static const CDialogTemplate& Layout();

  CAboutDlg();
  bool OnInitDialog() override;
};
