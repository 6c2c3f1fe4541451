// The firmware upgrade tool: sends an upgrade file to the fixtures, with progress and a speed slider.
#pragma once
#include "firmware/UpgradeTransfer.h"
#include "framework/Dialog.h"
#include "link/DmxLink.h"

class CFirmwareUpgradeDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 131;
  static constexpr int kOpen = 1000;
  static constexpr int kUpgrade = 1001;
  static constexpr int kSpeedSlider = 1004;
  static constexpr int kPath = 1005;
  static constexpr int kProgress = 1272;
  static constexpr int kSpeedNumber = 1273;
  static constexpr int kTimer = 1;
  static constexpr int kTickMs = 35;
  static const CDialogTemplate& Layout();

  explicit CFirmwareUpgradeDlg(CDmxLink& link);
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

 private:
  void OnOpen();
  void OnUpgrade();
  void OnTimer(int timerId);
  void OnHScroll(int id, int code, int pos);
  void OnDestroy();
  void OnCloseBox();
  // Whether the dialog may close now: at once while idle; during a transfer only once the user
  // has agreed to stop it, which it then is.
  bool StopBeforeClosing();
  void ShowLineRefusal();

  CUpgradeTransfer m_transfer;
};
