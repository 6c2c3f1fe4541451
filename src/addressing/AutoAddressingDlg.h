// Automatic address assignment: one first address sent 255 times in a short command frame.
#pragma once
#include "addressing/AutoAddressRun.h"
#include "framework/Dialog.h"
#include "link/DmxLink.h"

class CAutoAddressingDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 135;
  static constexpr int kSetupButton = 1000;
  static constexpr int kAddressField = 1005;  // the First Address field
  static constexpr int kAddressBar = 1100;
  static constexpr int kProgressBar = 1272;
  static constexpr int kWaitText = 1273;
  static constexpr int kAddressLabel = 1274;
  static constexpr int kTimer = 1;
  static constexpr int kTickMs = 50;
  static constexpr int kAddressBarTop = 511;  // position p stands for first address p + 1
  static const CDialogTemplate& Layout();

  explicit CAutoAddressingDlg(CDmxLink& link);
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

 private:
  void OnSetup();
  void OnAddressFieldLeft();
  void OnHScroll(int id, int code, int pos);
  void OnTimer(int timerId);
  void OnDestroy();
  // Tests the field's number; out of range it says so, resets the field to "1" and
  // returns the focus to it. An empty field passes untested.
  bool CheckAddressField();
  // Idle shows the address controls and Setup; a run shows the progress bar and "Wait ...".
  void ShowRunning(bool running);

  CAutoAddressRun m_run;
};
