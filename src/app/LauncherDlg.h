// The launcher: the main window for the whole run; each button opens one tool.
#pragma once
#include "framework/Dialog.h"
#include "link/DmxLink.h"

class CLauncherDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 102;
  static constexpr int kAboutCommand = 16;  // system command of the about item
  static const CDialogTemplate& Layout();

  explicit CLauncherDlg(CDmxLink& link);
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

 private:
  void OnDmxConsole();
  void OnRemoteAddressing();
  void OnRemoteFixtureSetup();
  void OnFirmwareUpgrade();
  void OnSysCommand(int command);
  CDmxLink& m_link;
};
