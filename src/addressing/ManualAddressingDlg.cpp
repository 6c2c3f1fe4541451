// The manual addressing dialog: waiting phase, then fixture selection, addresses and Save.
#include "addressing/ManualAddressingDlg.h"

#include "addressing/AddressRange.h"
#include "framework/ScrollStep.h"
#include "framework/Resources.h"
#include "framework/Text.h"

namespace {
const char* const kFixtureRangeMessage = "Fixture Number Only From 1 to 170";
constexpr unsigned kNumberField = ControlStyle::kBorder | ControlStyle::kDigitsOnly | ControlStyle::kAutoHScroll;
}  // namespace

const CDialogTemplate& CManualAddressingDlg::Layout() {
  static const CDialogTemplate layout{
      kResourceId, "Remote DMX Addressing Manual Setup V2.0", 350, 102, "MS Shell Dlg", 8,
      DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {
          // id           kind                       rectangle           text               style                  visible enabled
          {kFixtureLabel, EControlKind::Static,     {15, 17, 49, 8},    "Select Fixture:", 0,                     false,  true},
          {kAddressField, EControlKind::Edit,       {75, 41, 40, 12},   "",                kNumberField,          false,  true},
          {kAddressLabel, EControlKind::Static,     {16, 41, 48, 8},    "DMX Address:",    0,                     false,  true},
          {kWaitText,     EControlKind::Static,     {33, 61, 26, 8},    "Wait ...",        0,                     true,   true},
          {kAddressBar,   EControlKind::ScrollBar,  {137, 41, 199, 11}, "",                0,                     false,  true},
          {kFixtureField, EControlKind::Edit,       {76, 17, 40, 12},   "",                kNumberField,          false,  true},
          {kSaveButton,   EControlKind::PushButton, {155, 67, 50, 14},  "Save",            0,                     false,  true},
          {kFixtureBar,   EControlKind::ScrollBar,  {137, 17, 199, 11}, "",                0,                     false,  true},
          {kProgressBar,  EControlKind::Progress,   {37, 73, 288, 15},  "",                ControlStyle::kBorder, true,   true},
      }};
  return layout;
}

CManualAddressingDlg::CManualAddressingDlg(CDmxLink& link) : CDialog(Layout()), m_engine(link) {}

const CMessageTable& CManualAddressingDlg::MessageTable() const {
  using D = CManualAddressingDlg;
  static const CMessageTable table = CMessageTableOf<D>()
                                         .Command(BN_CLICKED, kSaveButton, &D::OnSave)
                                         .Command(EN_KILLFOCUS, kAddressField, &D::OnAddressFieldLeft)
                                         .Command(EN_KILLFOCUS, kFixtureField, &D::OnFixtureFieldLeft)
                                         .HScroll(&D::OnHScroll)
                                         .Timer(&D::OnTimer)
                                         .Destroy(&D::OnDestroy);
  return table;
}

bool CManualAddressingDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  SetTimer(kTimer, kTickMs);
  Item(kProgressBar).SetRange(0, CWaitingPhase::kTicks);
  Item(kAddressBar).SetRange(0, kAddressBarTop);
  Item(kFixtureBar).SetRange(0, kFixtureBarTop);
  return true;
}

void CManualAddressingDlg::OnTimer(int timerId) {
  if (timerId != kTimer) return;
  const bool waiting = m_engine.IsWaiting();
  m_engine.Tick();
  if (!waiting) return;
  Item(kProgressBar).SetPos(m_engine.WaitingProgress());
  if (!m_engine.IsWaiting()) ShowAddressing();
}

void CManualAddressingDlg::ShowAddressing() {
  ShowItem(kProgressBar, false);
  ShowItem(kWaitText, false);
  for (const int id : {kFixtureLabel, kAddressLabel, kAddressField, kFixtureField, kSaveButton, kAddressBar, kFixtureBar})
    ShowItem(id, true);
  SetItemText(kFixtureField, Decimal(m_engine.Selected()));
}

void CManualAddressingDlg::ShowSavedAddress(int fixture) {
  const auto address = m_engine.SavedAddress(fixture);
  SetItemText(kAddressField, address ? Decimal(*address) : std::string());
}

bool CManualAddressingDlg::CheckAddressField() {
  const std::string& text = ItemText(kAddressField);
  if (text.empty() || IsDmxAddress(LeadingNumber(text))) return true;
  MessageBox(kDmxAddressRangeMessage, EMessageIcon::Warning);
  SetItemText(kAddressField, "");
  SetFocus(kAddressField);
  return false;
}

void CManualAddressingDlg::OnAddressFieldLeft() { CheckAddressField(); }

void CManualAddressingDlg::OnFixtureFieldLeft() {
  const std::string& text = ItemText(kFixtureField);
  if (text.empty()) return;
  const std::uint32_t number = LeadingNumber(text);
  if (!IsFixtureNumber(number)) {
    MessageBox(kFixtureRangeMessage, EMessageIcon::Warning);
    SetItemText(kFixtureField, "");
    SetFocus(kFixtureField);
    return;
  }
  // The bar stays where it is; its next step starts from its own position.
  m_engine.Select(static_cast<int>(number));
  ShowSavedAddress(static_cast<int>(number));
}

void CManualAddressingDlg::OnSave() {
  const std::string text = ItemText(kAddressField);
  if (text.empty()) return;
  if (!CheckAddressField()) return;
  // The address goes to the fixture the controls show, even when its flag has not yet moved
  // to it (a fixture typed in and Save pressed before the next tick).
  m_engine.Save(LeadingNumber(text));
}

void CManualAddressingDlg::OnHScroll(int id, int code, int pos) {
  if (id != kAddressBar && id != kFixtureBar) return;
  CControl& bar = Item(id);
  const auto next = StepScrollBar(code, bar.Pos(), pos, id == kAddressBar ? kAddressBarTop : kFixtureBarTop);
  if (!next) return;
  bar.SetPos(*next);
  if (id == kAddressBar) {
    SetItemText(kAddressField, Decimal(*next + 1));  // shown only; nothing is saved or sent
    return;
  }
  const int fixture = *next + 1;
  SetItemText(kFixtureField, Decimal(fixture));
  m_engine.Select(fixture);
  ShowSavedAddress(fixture);
}

void CManualAddressingDlg::OnDestroy() {
  m_engine.Close();
  KillTimer(kTimer);
}
