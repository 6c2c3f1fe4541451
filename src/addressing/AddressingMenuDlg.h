// The remote addressing menu: opens automatic or manual address assignment.
#pragma once
#include "framework/Dialog.h"
#include "link/DmxLink.h"

class CAddressingMenuDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 133;
  static constexpr int kAutoSetupButton = 1000;
  static constexpr int kManualSetupButton = 1001;
  static constexpr int kStandardSetupButton = 1002;  // kept hidden; does nothing
  static const CDialogTemplate& Layout();

  explicit CAddressingMenuDlg(CDmxLink& link);
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

 private:
  void OnAutoSetup();
  void OnManualSetup();
  CDmxLink& m_link;
};
