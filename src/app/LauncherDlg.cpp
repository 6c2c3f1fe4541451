// The launcher dialog: four tool buttons and the about item in the system menu.
#include "app/LauncherDlg.h"

#include "addressing/AddressingMenuDlg.h"
#include "app/AboutDlg.h"
#include "app/LineMonitorHook.h"
#include "console/ConsoleDlg.h"
#include "firmware/FirmwareUpgradeDlg.h"
#include "fixture/FixtureFamilyMenuDlg.h"
#include "framework/Resources.h"
#include "link/LineConstants.h"

namespace {
// The about item's text; the system menu gets it only when it is not empty.
const char* const kAboutItemText = "关于 Vexmira Ver1.0(&A)...";
}  // namespace

const CDialogTemplate& CLauncherDlg::Layout() {
  static const CDialogTemplate layout{
      kResourceId, "Vexmira V2.0", 179, 88, "MS Shell Dlg", 9,
      DialogStyle::kSysMenu | DialogStyle::kAppWindow,
      {
          {kConsoleButton, EControlKind::PushButton, {7, 7, 165, 14}, "DMX Console"},
          {kAddressingButton, EControlKind::PushButton, {7, 27, 165, 14}, "Remote DMX addressing"},
          {kFixtureSetupButton, EControlKind::PushButton, {7, 47, 165, 14}, "Remote fixture setup"},
          {kFirmwareButton, EControlKind::PushButton, {7, 67, 165, 14}, "Fixture Firmware Upgrade"},
      }};
  return layout;
}

CLauncherDlg::CLauncherDlg(CDmxLink& link, std::function<void()> chooseInterface)
    : CDialog(Layout()), m_link(link), m_chooseInterface(std::move(chooseInterface)) {}

const CMessageTable& CLauncherDlg::MessageTable() const {
  using D = CLauncherDlg;
  static const CMessageTable table = CMessageTableOf<D>()
                                         .Command(BN_CLICKED, kConsoleButton, &D::OnDmxConsole)
                                         .Command(BN_CLICKED, kAddressingButton, &D::OnRemoteAddressing)
                                         .Command(BN_CLICKED, kFixtureSetupButton, &D::OnRemoteFixtureSetup)
                                         .Command(BN_CLICKED, kFirmwareButton, &D::OnFirmwareUpgrade)
                                         .SysCommand(&D::OnSysCommand);
  return table;
}

bool CLauncherDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (HasSystemMenu() && *kAboutItemText) {
    AppendSysMenuSeparator();
    AppendSysMenuItem(kAboutCommand, kAboutItemText);
  }
  if (HasSystemMenu() && HasLineMonitor()) AppendSysMenuItem(kLineMonitorCommand, "Line Monitor");
  if (HasSystemMenu() && m_chooseInterface) AppendSysMenuItem(kInterfaceCommand, "DMX Interface...");
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  // Once the launcher's window is up, so that the monitor can open beside it.
  if (LineMonitorOpensWithLauncher()) PostToSelf([] { OpenLineMonitor(); });
  return true;
}

void CLauncherDlg::OnSysCommand(int command) {
  if ((command & 0xFFF0) == kAboutCommand) {
    CAboutDlg about;
    about.DoModal();
    return;
  }
  if (command == kLineMonitorCommand && HasLineMonitor()) {
    OpenLineMonitor();
    return;
  }
  // The menu is the launcher's: no tool is open, so none is cut off by a new interface.
  if (command == kInterfaceCommand && m_chooseInterface) {
    m_chooseInterface();
    return;
  }
  DefaultHandling({EMessage::SysCommand, command, 0, 0});
}

void CLauncherDlg::OnDmxConsole() {
  m_link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
  {
    CConsoleDlg console(m_link);
    console.DoModal();
  }
  m_link.DmxLinkStandBy();
}

void CLauncherDlg::OnRemoteAddressing() {
  CAddressingMenuDlg menu(m_link);
  menu.DoModal();
}

void CLauncherDlg::OnRemoteFixtureSetup() {
  CFixtureFamilyMenuDlg menu(m_link);
  menu.DoModal();
}

void CLauncherDlg::OnFirmwareUpgrade() {
  CFirmwareUpgradeDlg upgrade(m_link);
  upgrade.DoModal();
}
