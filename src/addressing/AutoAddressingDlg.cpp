// The automatic addressing dialog: first address field and bar, Setup, and the paced run.
#include "addressing/AutoAddressingDlg.h"

#include "addressing/AddressRange.h"
#include "framework/ScrollStep.h"
#include "framework/Resources.h"
#include "framework/Text.h"

namespace {
const char* const kFinishMessage = "The Fixture DMX Address Setup Finish";
constexpr unsigned kNumberField = ControlStyle::kBorder | ControlStyle::kDigitsOnly | ControlStyle::kAutoHScroll;
}  // namespace

const CDialogTemplate& CAutoAddressingDlg::Layout() {
  static const CDialogTemplate layout{
      kResourceId, "Remote DMX Addressing Auto Setup V2.0", 316, 52, "MS Shell Dlg", 8,
      DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {
          // id           kind                       rectangle           text              style                  visible enabled
          {kSetupButton,  EControlKind::PushButton, {119, 31, 50, 14},  "Setup",          0,                     true,   true},
          {kAddressField, EControlKind::Edit,       {55, 7, 40, 12},    "1",              kNumberField,          true,   true},
          {kAddressBar,   EControlKind::ScrollBar,  {102, 7, 207, 11},  "",               0,                     true,   true},
          {kProgressBar,  EControlKind::Progress,   {7, 31, 302, 14},   "",               ControlStyle::kBorder, false,  true},
          {kWaitText,     EControlKind::Static,     {7, 20, 26, 8},     "Wait ...",       0,                     false,  true},
          {kAddressLabel, EControlKind::Static,     {7, 9, 48, 8},      "First Address :", 0,                    true,   true},
      }};
  return layout;
}

CAutoAddressingDlg::CAutoAddressingDlg(CDmxLink& link) : CDialog(Layout()), m_run(link) {}

const CMessageTable& CAutoAddressingDlg::MessageTable() const {
  using D = CAutoAddressingDlg;
  static const CMessageTable table = CMessageTableOf<D>()
                                         .Command(BN_CLICKED, kSetupButton, &D::OnSetup)
                                         .Command(EN_KILLFOCUS, kAddressField, &D::OnAddressFieldLeft)
                                         .HScroll(&D::OnHScroll, kAddressBar)
                                         .Timer(&D::OnTimer)
                                         .Destroy(&D::OnDestroy);
  return table;
}

bool CAutoAddressingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  // The timer runs for the window's life; its ticks do nothing while no run is under way.
  SetTimer(kTimer, kTickMs);
  Item(kProgressBar).SetRange(0, CAutoAddressRun::kStarts);
  SetItemText(kAddressField, "1");
  Item(kAddressBar).SetRange(0, kAddressBarTop);
  return true;
}

bool CAutoAddressingDlg::CheckAddressField() {
  const std::string& text = ItemText(kAddressField);
  if (text.empty() || IsDmxAddress(LeadingNumber(text))) return true;
  MessageBox(kDmxAddressRangeMessage, EMessageIcon::Warning);
  SetItemText(kAddressField, "1");
  SetFocus(kAddressField);
  return false;
}

void CAutoAddressingDlg::OnAddressFieldLeft() { CheckAddressField(); }

void CAutoAddressingDlg::OnSetup() {
  if (m_run.State() != EAutoAddressState::Idle) return;
  const std::string text = ItemText(kAddressField);
  if (text.empty()) return;
  // Leaving the field has tested it already; testing again keeps an address that slipped
  // past (a field never left) from going out.
  if (!CheckAddressField()) return;
  m_run.Setup(LeadingNumber(text));
  ShowRunning(true);
  Item(kProgressBar).SetPos(0);
}

void CAutoAddressingDlg::ShowRunning(bool running) {
  for (const int id : {kAddressLabel, kAddressField, kSetupButton, kAddressBar}) ShowItem(id, !running);
  for (const int id : {kProgressBar, kWaitText}) ShowItem(id, running);
}

void CAutoAddressingDlg::OnTimer(int timerId) {
  if (timerId != kTimer || m_run.State() != EAutoAddressState::Running) return;
  m_run.Tick();
  if (m_run.State() == EAutoAddressState::Running) {
    Item(kProgressBar).SetPos(m_run.StartsMade());
    return;
  }
  // The box runs its own loop; the ticks arriving meanwhile find the run finished and do nothing.
  MessageBox(kFinishMessage, EMessageIcon::None);
  if (!HasWindow()) return;  // closed while the box was up: the destroy handling stood the line by
  m_run.FinishAcknowledged();
  ShowRunning(false);
  Item(kProgressBar).SetPos(0);
}

void CAutoAddressingDlg::OnHScroll(int id, int code, int pos) {
  CControl& bar = Item(id);
  const auto next = StepScrollBar(code, bar.Pos(), pos, kAddressBarTop);
  if (!next) return;
  bar.SetPos(*next);
  SetItemText(kAddressField, Decimal(*next + 1));
}

void CAutoAddressingDlg::OnDestroy() {
  m_run.Close();
  KillTimer(kTimer);
}
