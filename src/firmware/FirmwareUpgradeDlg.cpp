// The firmware upgrade dialog: binds its buttons, slider and timer to the transfer engine and shows its progress.
#include "firmware/FirmwareUpgradeDlg.h"

#include "framework/Resources.h"
#include "framework/Text.h"

namespace {
const char* const kNoFileText = "Upgrade file no specify!";
const char* const kFinishText = "      Firmware upgrade finish!";
const char* const kStopQuestion =
    "A firmware upgrade is running. A fixture whose upgrade is stopped part way may be left without "
    "working firmware. Stop the upgrade and close?";
const char* const kStoppedText = "The firmware upgrade was stopped.";
const char* const kRestartQuestion =
    "A firmware upgrade is running. A fixture whose upgrade is stopped part way may be left without "
    "working firmware. Stop the upgrade and start again from the beginning of the file?";
}  // namespace

const CDialogTemplate& CFirmwareUpgradeDlg::Layout() {
  using namespace ControlStyle;
  static const CDialogTemplate layout{
      kResourceId, "Firmware Upgrade V2.0", 319, 68, "MS Shell Dlg", 8,
      DialogStyle::kSysMenu | DialogStyle::kModalFrame | DialogStyle::kCentreMouse,
      {
          {kOpen, EControlKind::PushButton, {7, 7, 50, 14}, "Open"},
          {kUpgrade, EControlKind::PushButton, {7, 27, 50, 14}, "Upgrade"},
          {kPath, EControlKind::Edit, {66, 7, 246, 14}, "", kBorder | kAutoHScroll},
          {kProgress, EControlKind::Progress, {66, 27, 246, 14}, "", kBorder, false},
          {IDC_STATIC, EControlKind::Static, {14, 51, 22, 8}, "Speed"},
          {kSpeedNumber, EControlKind::Static, {40, 51, 17, 8}, ""},
          {kSpeedSlider, EControlKind::Trackbar, {61, 46, 251, 15}, "", kNoTicks},
      }};
  return layout;
}

CFirmwareUpgradeDlg::CFirmwareUpgradeDlg(CDmxLink& link) : CDialog(Layout()), m_transfer(link) {}

const CMessageTable& CFirmwareUpgradeDlg::MessageTable() const {
  using D = CFirmwareUpgradeDlg;
  static const CMessageTable table = CMessageTableOf<D>()
                                         .Command(BN_CLICKED, kOpen, &D::OnOpen)
                                         .Command(BN_CLICKED, kUpgrade, &D::OnUpgrade)
                                         .Timer(&D::OnTimer)
                                         .HScroll(&D::OnHScroll, kSpeedSlider)
                                         .Close(&D::OnCloseBox)
                                         .Destroy(&D::OnDestroy);
  return table;
}

bool CFirmwareUpgradeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  Item(kSpeedSlider).SetRange(CUpgradeTransfer::kMinSpeed, CUpgradeTransfer::kMaxSpeed);
  Item(kSpeedSlider).SetPos(CUpgradeTransfer::kMinSpeed);
  SetItemText(kSpeedNumber, Decimal(CUpgradeTransfer::kMaxSpeed + 1 - CUpgradeTransfer::kMinSpeed));
  m_transfer.Open();
  SetTimer(kTimer, kTickMs);
  if (m_transfer.LineRefusal()) ShowLineRefusal();
  return true;
}

// An interface that cannot send 559-slot frames would show progress and "finish" for frames that
// never went out: say so at open and whenever a transfer is asked for.
void CFirmwareUpgradeDlg::ShowLineRefusal() {
  MessageBox("This DMX interface cannot send firmware upgrade frames: " + *m_transfer.LineRefusal(),
             EMessageIcon::Warning);
}

void CFirmwareUpgradeDlg::OnOpen() {
  CFileDialog dialog;
  dialog.kind = EFileDialogKind::Open;
  dialog.defaultExtension = "zku";
  dialog.initialName = "*.zku";
  dialog.filter = "Zelkar Firmware Files (*.zku)|*.zku||";
  dialog.hideReadOnly = true;
  dialog.fileMustExist = true;
  if (auto path = CHost::Current().ShowFileDialog(dialog)) SetItemText(kPath, *path);
}

void CFirmwareUpgradeDlg::OnUpgrade() {
  const std::string path = ItemText(kPath);
  if (path.empty()) {
    MessageBox(kNoFileText, EMessageIcon::Warning);
    return;
  }
  if (m_transfer.LineRefusal()) {
    ShowLineRefusal();
    return;
  }
  // The whole file is checked before anything of it is sent; a refused file leaves a running
  // transfer going with its own image.
  auto file = CUpgradeFile::Read(path);
  if (!file) {
    MessageBox(file.error().message, EMessageIcon::Warning);
    return;
  }
  // Starting again cuts the running transfer off as closing would: only when the user says so.
  if (m_transfer.State() == CUpgradeTransfer::EState::Transferring && !Ask(kRestartQuestion, EMessageIcon::Warning))
    return;
  m_transfer.Start(std::move(*file));
  Item(kProgress).Show(true);
  Item(kProgress).SetRange(0, static_cast<int>(m_transfer.TransferTotal()));
  Item(kProgress).SetPos(static_cast<int>(m_transfer.BytesSent()));
}

void CFirmwareUpgradeDlg::OnTimer(int timerId) {
  using EState = CUpgradeTransfer::EState;
  if (timerId != kTimer) return;
  const bool wasTransferring = m_transfer.State() == EState::Transferring;
  m_transfer.Tick();
  if (m_transfer.State() == EState::Transferring) {
    Item(kProgress).SetPos(static_cast<int>(m_transfer.BytesSent()));
  } else if (wasTransferring) {
    // A question about the transfer that is still open has lost its object: it goes, as if
    // answered No. Ticks go on while the finish box is open and send the idle frame.
    WithdrawQuestions();
    MessageBox(kFinishText, EMessageIcon::None);
    if (HasWindow() && m_transfer.State() != EState::Transferring) Item(kProgress).Show(false);
  }
}

void CFirmwareUpgradeDlg::OnHScroll(int, int code, int) {
  // The Home key (TB_TOP) moves the slider to its start: it takes effect like every other move,
  // so the speed shown and the hold used always match the slider.
  if (code > TB_ENDTRACK) return;
  const int position = Item(kSpeedSlider).Pos();
  SetItemText(kSpeedNumber, Decimal(CUpgradeTransfer::kMaxSpeed + 1 - position));
  m_transfer.SetSpeed(position);
}

// Escape and the close box.
void CFirmwareUpgradeDlg::OnCloseBox() {
  if (StopBeforeClosing()) EndDialog(IDCANCEL);
}

// A fixture cut off in the middle of an upgrade may be left without working firmware, so one key
// never stops a transfer: the user is asked first, and told afterwards.
bool CFirmwareUpgradeDlg::StopBeforeClosing() {
  using EState = CUpgradeTransfer::EState;
  if (m_transfer.State() != EState::Transferring) return true;
  if (!Ask(kStopQuestion, EMessageIcon::Warning)) return false;
  // The ticks went on while the question was open: the transfer may have finished meanwhile.
  if (m_transfer.State() != EState::Transferring) return true;
  KillTimer(kTimer);
  m_transfer.Close();
  MessageBox(kStoppedText, EMessageIcon::Information);
  return true;
}

void CFirmwareUpgradeDlg::OnDestroy() {
  KillTimer(kTimer);
  m_transfer.Close();
}
