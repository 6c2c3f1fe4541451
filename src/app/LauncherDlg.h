// The launcher: the main window for the whole run; each button opens one tool.
#pragma once
#include "framework/Dialog.h"
#include "link/DmxLink.h"

#include <functional>

class CLauncherDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 102;
  static constexpr int kAboutCommand = 16;  // system command of the about item
  static constexpr int kInterfaceCommand = 48;  // the interface chooser's item
  // The four tool buttons.
  static constexpr int kConsoleButton = 1000;
  static constexpr int kAddressingButton = 1001;
  static constexpr int kFixtureSetupButton = 1002;
  static constexpr int kFirmwareButton = 1003;
  static const CDialogTemplate& Layout();

  // `chooseInterface` runs the interface chooser; without it the system menu does not offer it.
  explicit CLauncherDlg(CDmxLink& link, std::function<void()> chooseInterface = {});
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

 private:
  void OnDmxConsole();
  void OnRemoteAddressing();
  void OnRemoteFixtureSetup();
  void OnFirmwareUpgrade();
  void OnSysCommand(int command);
  CDmxLink& m_link;
  std::function<void()> m_chooseInterface;
};
