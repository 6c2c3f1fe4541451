// The about box: the program icon, the program's name and version, and an Ok button.
#include "app/AboutDlg.h"

#include "framework/Resources.h"

const CDialogTemplate& CAboutDlg::Layout() {
  static const CDialogTemplate layout{
      kResourceId, "关于 Vexmira", 170, 62, "MS Shell Dlg", 9,
      DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {
          {IDC_STATIC, EControlKind::Icon, {14, 14, 21, 20}, std::to_string(kProgramIcon)},
          {IDC_STATIC, EControlKind::Static, {42, 14, 114, 8}, "Vexmira V2.0"},
          {IDOK, EControlKind::DefPushButton, {113, 41, 50, 14}, "Ok"},
      }};
  return layout;
}

CAboutDlg::CAboutDlg() : CDialog(Layout()) {}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  return true;
}
