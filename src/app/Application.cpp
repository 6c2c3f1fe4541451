// Start-up: the interface check on both identifier pairs, then the launcher for the whole run.
#include "app/Application.h"

#include "app/LauncherDlg.h"
#include "framework/Host.h"
#include "link/LineConstants.h"

bool CApplication::InitInstance() {
  // The program keeps no settings: the key is named, as it always was, and never used.
  m_registryKey = "应用程序向导生成的本地应用程序";

  if (m_link.DmxLinkOpen(kInterfaceId, kProWidgetModel) != 0 && m_link.DmxLinkOpen(kInterfaceId, kOpenDmxModel) != 0) {
    CHost::Current().ShowMessageBox({kNoInterfaceText, kNoInterfaceCaption, EMessageIcon::Error, 0});
    return false;
  }

  CLauncherDlg launcher(m_link);
  m_mainWindow = &launcher;
  launcher.DoModal();
  m_mainWindow = nullptr;
  return false;
}
