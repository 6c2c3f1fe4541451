// The remote addressing menu: two buttons, each running one addressing tool modally.
#include "addressing/AddressingMenuDlg.h"

#include "addressing/AutoAddressingDlg.h"
#include "addressing/ManualAddressingDlg.h"
#include "framework/Resources.h"

const CDialogTemplate& CAddressingMenuDlg::Layout() {
  static const CDialogTemplate layout{
      kResourceId, "Remote DMX addressing V2.0", 209, 84, "MS Shell Dlg", 8,
      DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {
          // id                  kind                       rectangle          text                               style visible enabled
          {kAutoSetupButton,     EControlKind::PushButton, {21, 37, 165, 14}, "DMX Address Remote Auto Setup",   0,    true,   true},
          {kManualSetupButton,   EControlKind::PushButton, {21, 17, 165, 14}, "DMX Address Remote Manual Setup", 0,    true,   true},
          {kStandardSetupButton, EControlKind::PushButton, {21, 55, 165, 14}, "Standard Setup",                  0,    false,  true},
      }};
  return layout;
}

CAddressingMenuDlg::CAddressingMenuDlg(CDmxLink& link) : CDialog(Layout()), m_link(link) {}

const CMessageTable& CAddressingMenuDlg::MessageTable() const {
  using D = CAddressingMenuDlg;
  static const CMessageTable table = CMessageTableOf<D>()
                                         .Command(BN_CLICKED, kAutoSetupButton, &D::OnAutoSetup)
                                         .Command(BN_CLICKED, kManualSetupButton, &D::OnManualSetup);
  return table;
}

bool CAddressingMenuDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  return true;  // the focus goes to the first button in resource order, the auto setup
}

// Each press builds a fresh tool, so nothing passes from one run of a tool to the next.
void CAddressingMenuDlg::OnAutoSetup() {
  CAutoAddressingDlg tool(m_link);
  tool.DoModal();
}

void CAddressingMenuDlg::OnManualSetup() {
  CManualAddressingDlg tool(m_link);
  tool.DoModal();
}
