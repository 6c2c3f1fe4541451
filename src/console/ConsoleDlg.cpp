// The DMX console dialog: its layout, the fader bank, the console tick and the chase panel's binding.
#include "console/ConsoleDlg.h"

#include "console/ChaseFile.h"
#include "console/TimeLabel.h"
#include "framework/Resources.h"
#include "framework/ScrollStep.h"
#include "framework/Text.h"

#include <array>
#include <filesystem>
#include <optional>

namespace {

using K = EControlKind;
namespace S = ControlStyle;

constexpr bool kHidden = false;
constexpr bool kDisabled = false;

constexpr unsigned kValueBoxStyle = S::kReadOnly | S::kCentre | S::kBorder;
constexpr unsigned kFaderStyle = S::kVertical | S::kNoTicks | S::kBothPointers;
constexpr unsigned kSliderStyle = S::kNoTicks | S::kBothPointers;
constexpr unsigned kSelectorStyle = S::kVertical | S::kArrowKeys | S::kNoBuddy;

constexpr int kTopLevel = 255;
constexpr int kSliderPageSize = 10;
constexpr const char* kUnsavedQuestion =
    "The chase has changes that were not saved. Close the console and lose them?";
constexpr const char* kOpenOverUnsavedQuestion =
    "The chase has changes that were not saved. Open another chase and lose them?";
// Whether the chase panel was shown when a console last closed.
constexpr const char* kPanelSetting = "Console/chasePanel";

std::vector<CControlTemplate> ConsoleControls() {
  std::vector<CControlTemplate> c;
  // The frame first, so that the columns lie above it.
  c.push_back({IDC_STATIC, K::GroupBox, {7, 7, 556, 145}, ""});
  // Faders first in the tab order, so the keys move fader 1 when the console opens and Tab
  // walks along the bank.
  for (int k = 0; k < CConsoleDlg::kColumns; ++k)
    c.push_back({CConsoleDlg::FaderId(k), K::Trackbar, {14 + 17 * k, 28, 15, 100}, "", kFaderStyle});
  for (int k = 0; k < CConsoleDlg::kColumns; ++k)
    c.push_back({CConsoleDlg::ValueBoxId(k), K::Edit, {14 + 17 * k, 15, 15, 12}, "", kValueBoxStyle});
  for (int k = 0; k < CConsoleDlg::kColumns; ++k)
    c.push_back({CConsoleDlg::LabelId(k), K::Static, {14 + 17 * k, 129, 15, 8}, std::to_string(k + 1), S::kCentre});
  const std::vector<CControlTemplate> rest{
      {CConsoleDlg::kChannelBar, K::ScrollBar, {14, 137, 543, 11}, ""},
      {CConsoleDlg::kStandAloneButton, K::PushButton, {7, 157, 48, 14}, "Stand Alone"},
      {CConsoleDlg::kCleanButton, K::PushButton, {7, 175, 48, 14}, "Clean"},

      // The chase panel: created hidden; the system menu item shows it.
      {CConsoleDlg::kAddButton, K::PushButton, {59, 157, 40, 14}, "Add", 0, kHidden},
      {CConsoleDlg::kInsertButton, K::PushButton, {103, 157, 40, 14}, "Insert", 0, kHidden, kDisabled},
      {CConsoleDlg::kRunButton, K::PushButton, {147, 157, 40, 14}, "Run", 0, kHidden, kDisabled},
      {CConsoleDlg::kOpenButton, K::PushButton, {191, 157, 40, 14}, "Open", 0, kHidden},
      {CConsoleDlg::kDeleteButton, K::PushButton, {59, 175, 40, 14}, "Delete", 0, kHidden, kDisabled},
      {CConsoleDlg::kCopyButton, K::PushButton, {103, 175, 40, 14}, "Copy", 0, kHidden},
      {CConsoleDlg::kPasteButton, K::PushButton, {147, 175, 40, 14}, "Paste", 0, kHidden, kDisabled},
      {CConsoleDlg::kSaveButton, K::PushButton, {191, 175, 40, 14}, "Save", 0, kHidden, kDisabled},
      {IDC_STATIC, K::Static, {246, 160, 38, 8}, "Total Step :", 0, kHidden},
      {CConsoleDlg::kStepCountDisplay, K::Static, {290, 160, 16, 8}, "0", 0, kHidden},
      {IDC_STATIC, K::Static, {234, 176, 50, 8}, "Step Number :", 0, kHidden},
      {CConsoleDlg::kStepNumberDisplay, K::Static, {290, 176, 16, 8}, "1", 0, kHidden},
      {CConsoleDlg::kStepSelector, K::UpDown, {310, 158, 11, 31}, "", kSelectorStyle, kHidden},
      {IDC_STATIC, K::Static, {337, 158, 22, 8}, "Speed", 0, kHidden},
      {CConsoleDlg::kSpeedSlider, K::Trackbar, {359, 155, 179, 15}, "", kSliderStyle, kHidden},
      {CConsoleDlg::kSpeedDisplay, K::Static, {539, 157, 23, 8}, "0'0.1\"", 0, kHidden},
      {IDC_STATIC, K::Static, {324, 176, 35, 8}, "Fade Time", 0, kHidden},
      {CConsoleDlg::kFadeSlider, K::Trackbar, {359, 174, 179, 15}, "", kSliderStyle, kHidden},
      {CConsoleDlg::kFadeDisplay, K::Static, {539, 176, 23, 8}, "0'0.0\"", 0, kHidden},
  };
  c.insert(c.end(), rest.begin(), rest.end());
  return c;
}

// The chase panel's controls are exactly those the layout creates hidden; their places in
// the template, which are also their places among the dialog's controls.
const std::vector<std::size_t>& ChasePanelPlaces() {
  static const std::vector<std::size_t> places = [] {
    std::vector<std::size_t> result;
    const auto& controls = CConsoleDlg::Layout().controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
      if (!controls[i].visible) result.push_back(i);
    return result;
  }();
  return places;
}

// Fader notifications that carry a new position. Besides the codes of lines, pages, the thumb,
// the bottom and the end of an action, TB_TOP (the Home key) counts too: it moves the fader, so
// the level shown, stored and sent must follow it.
bool IsFaderMove(int code) { return code >= TB_LINEUP && code <= TB_ENDTRACK; }

// The step selector acts on lines, pages, the thumb, the bottom and the end of an action; the
// up-down control reports the thumb position and then the end.
bool IsSelectorMove(int code) { return code >= 0 && code <= TB_ENDTRACK && code != TB_TOP; }

std::optional<int> ColumnOf(int id) {
  for (int k = 0; k < CConsoleDlg::kColumns; ++k)
    if (CConsoleDlg::FaderId(k) == id) return k;
  return std::nullopt;
}

CFileDialog ChaseFileDialog(EFileDialogKind kind) {
  CFileDialog dialog;
  dialog.kind = kind;
  dialog.defaultExtension = "zkc";
  dialog.initialName = "*.zkc";
  dialog.filter = CConsoleDlg::ChaseFileFilter();
  dialog.hideReadOnly = true;
  dialog.fileMustExist = true;
  return dialog;
}

}  // namespace

const CDialogTemplate& CConsoleDlg::Layout() {
  static const CDialogTemplate layout{kResourceId,
                                      kTitle,
                                      570,
                                      194,
                                      "MS Shell Dlg",
                                      8,
                                      DialogStyle::kSysMenu | DialogStyle::kModalFrame,
                                      ConsoleControls()};
  return layout;
}

const char* CConsoleDlg::ChaseFileFilter() {
  return "Zelkar Lighting Chase Files (*.zkc)|*.zkc|All Files (*.*)|*.*||";
}

CConsoleDlg::CConsoleDlg(CDmxLink& link, CConsoleData& data) : CDialog(Layout()), m_engine(link, data) {
  m_engine.OnStepChanged([this] { PostToSelf([this] { ShowStepNumber(); }); });
}

CConsoleDlg::~CConsoleDlg() {
  // The window's destruction stops the tick; this only covers a console whose window never
  // got that far.
  if (m_tickTimer != 0) CHost::Current().StopPeriodicTimer(m_tickTimer);
}

const CMessageTable& CConsoleDlg::MessageTable() const {
  using D = CConsoleDlg;
  static const CMessageTable table = CMessageTableOf<D>()
                                         .VScroll(&D::OnVScroll)
                                         .HScroll(&D::OnHScroll)
                                         .Command(BN_CLICKED, kStandAloneButton, &D::OnStandAlone)
                                         .Command(BN_CLICKED, kCleanButton, &D::OnClean)
                                         .Command(BN_CLICKED, kAddButton, &D::OnAdd)
                                         .Command(BN_CLICKED, kInsertButton, &D::OnInsert)
                                         .Command(BN_CLICKED, kDeleteButton, &D::OnDelete)
                                         .Command(BN_CLICKED, kCopyButton, &D::OnCopy)
                                         .Command(BN_CLICKED, kPasteButton, &D::OnPaste)
                                         .Command(BN_CLICKED, kRunButton, &D::OnRunStop)
                                         .Command(BN_CLICKED, kSaveButton, &D::OnSave)
                                         .Command(BN_CLICKED, kOpenButton, &D::OnOpen)
                                         .SysCommand(&D::OnSysCommand)
                                         .Close(&D::OnCloseBox)
                                         .Destroy(&D::OnDestroy);
  return table;
}

bool CConsoleDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  if (HasSystemMenu()) {
    AppendSysMenuSeparator();
    AppendSysMenuItem(kChasePanelCommand, "Chase Panel");
  }
  for (int k = 0; k < kColumns; ++k) Item(FaderId(k)).SetRange(0, kTopLevel);
  Item(kChannelBar).SetRange(0, kLastBase);
  Item(kSpeedSlider).SetRange(0, kSpeedTop);
  Item(kSpeedSlider).SetPageSize(kSliderPageSize);
  Item(kFadeSlider).SetRange(0, kFadeTop);
  Item(kFadeSlider).SetPageSize(kSliderPageSize);
  // The columns (all at level 0 in a new console) and the chase panel as the engine has them,
  // shown if it was when the last console closed.
  ShowChasePanel();
  if (CHost::Current().ReadSetting(kPanelSetting) == "shown") ToggleChasePanel();
  // Last: from here on the tick may run.
  m_tickTimer = CHost::Current().StartPeriodicTimer(kTickMs, [this] { m_engine.Tick(); });
  return true;
}

// Escape, the close box and the system menu's Close. Closing ends the chase the console holds,
// so one whose changes were not saved is only given up when the user says so.
void CConsoleDlg::OnCloseBox() {
  if (m_engine.HasUnsavedChanges() && !Ask(kUnsavedQuestion, EMessageIcon::Warning)) return;
  EndDialog(IDCANCEL);
}

void CConsoleDlg::OnDestroy() {
  // Waits for a tick under way, so nothing of the tick outlives the controls.
  if (m_tickTimer != 0) CHost::Current().StopPeriodicTimer(m_tickTimer);
  m_tickTimer = 0;
}

// Shows the step being played now, which is also right if the run has moved on or stopped
// since the tick that asked for it.
void CConsoleDlg::ShowStepNumber() {
  if (HasWindow()) SetItemText(kStepNumberDisplay, Decimal(m_engine.PanelState().currentStep + 1));
}

// --- faders and the channel bar ---

int CConsoleDlg::ChannelBase() const { return Item(kChannelBar).Pos(); }

void CConsoleDlg::ShowColumns() {
  const int base = ChannelBase();
  std::array<int, kColumns> levels{};
  for (int k = 0; k < kColumns; ++k) levels[static_cast<std::size_t>(k)] = m_engine.Level(base + k);
  for (int k = 0; k < kColumns; ++k) Item(FaderId(k)).SetPos(kTopLevel - levels[static_cast<std::size_t>(k)]);
  for (int k = 0; k < kColumns; ++k) SetItemText(ValueBoxId(k), Decimal(levels[static_cast<std::size_t>(k)]));
  for (int k = 0; k < kColumns; ++k) SetItemText(LabelId(k), Decimal(base + 1 + k));
}

void CConsoleDlg::OnVScroll(int id, int code, int pos) {
  if (id == kStepSelector) {
    if (!IsSelectorMove(code)) return;
    m_engine.MoveStepSelector(static_cast<std::uint8_t>(pos));
    ShowChasePanel();
    return;
  }
  if (!IsFaderMove(code)) return;
  if (const auto column = ColumnOf(id)) OnFaderMoved(*column);
}

void CConsoleDlg::OnFaderMoved(int column) {
  const auto level = static_cast<std::uint8_t>(kTopLevel - Item(FaderId(column)).Pos());
  SetItemText(ValueBoxId(column), Decimal(level));
  m_engine.SetLevel(ChannelBase() + column, level);
}

void CConsoleDlg::OnHScroll(int id, int code, int pos) {
  switch (id) {
    case kChannelBar:
      OnChannelBarScrolled(code, pos);
      return;
    case kSpeedSlider:
      m_engine.SetSpeed(static_cast<std::uint16_t>(Item(kSpeedSlider).Pos()));
      break;
    case kFadeSlider:
      m_engine.SetFade(static_cast<std::uint16_t>(Item(kFadeSlider).Pos()));
      break;
    default:
      return;
  }
  ShowChasePanel();
}

void CConsoleDlg::OnChannelBarScrolled(int code, int pos) {
  // The thumb position comes as 16 bits.
  const auto moved = StepScrollBar(code, ChannelBase(), pos & 0xFFFF, kLastBase);
  if (!moved) return;
  Item(kChannelBar).SetPos(*moved);
  ShowColumns();
}

// --- Stand Alone and Clean ---

void CConsoleDlg::OnStandAlone() {
  m_engine.ToggleStandAlone();
  // The button names the state that the next press selects.
  SetItemText(kStandAloneButton, m_engine.IsStandingAlone() ? "DMX Out" : "Stand Alone");
}

void CConsoleDlg::OnClean() {
  m_engine.Clean();
  ShowColumns();
}

// --- the chase panel ---

void CConsoleDlg::ShowChasePanel() {
  const CChasePanelState state = m_engine.PanelState();
  // A run leaves only Run/Stop, the selector and the sliders to the user.
  const bool editing = !state.running;
  for (int k = 0; k < kColumns; ++k) EnableItem(FaderId(k), editing);
  for (const int id : {kChannelBar, kStandAloneButton, kCleanButton, kCopyButton, kOpenButton}) EnableItem(id, editing);
  EnableItem(kAddButton, state.addEnabled);
  EnableItem(kInsertButton, state.insertEnabled);
  EnableItem(kDeleteButton, state.deleteEnabled);
  EnableItem(kPasteButton, state.pasteEnabled);
  EnableItem(kSaveButton, state.saveEnabled);
  EnableItem(kRunButton, state.runEnabled);
  SetItemText(kAddButton, state.addOverwrites ? "Overwrite" : "Add");
  SetItemText(kRunButton, state.running ? "Stop" : "Run");
  SetItemText(kStepCountDisplay, Decimal(state.stepCount));
  SetItemText(kStepNumberDisplay, Decimal(state.currentStep + 1));
  // A new range leaves the selector's position alone, even beyond it; the position is set only
  // when the engine moved it.
  Item(kStepSelector).SetRange(0, state.selectorTop);
  if (Item(kStepSelector).Pos() != state.selectorPos) Item(kStepSelector).SetPos(state.selectorPos);
  EnableItem(kStepSelector, state.selectorEnabled);
  EnableItem(kSpeedSlider, !state.followingSelector);
  Item(kSpeedSlider).SetPos(state.speedShown);
  // The speed display shows the hold time: one tenth more than the setting.
  SetItemText(kSpeedDisplay, FormatTenths(state.speedShown + 1u));
  Item(kFadeSlider).SetPos(state.fadeShown);
  SetItemText(kFadeDisplay, FormatTenths(state.fadeShown));
  if (editing) ShowColumns();
}

void CConsoleDlg::OnAdd() {
  m_engine.AddOrOverwrite();
  ShowChasePanel();
}

void CConsoleDlg::OnInsert() {
  m_engine.Insert();
  ShowChasePanel();
}

void CConsoleDlg::OnDelete() {
  m_engine.Delete();
  ShowChasePanel();
}

void CConsoleDlg::OnCopy() {
  m_engine.Copy();
  ShowChasePanel();
}

void CConsoleDlg::OnPaste() {
  m_engine.Paste();
  ShowChasePanel();
}

void CConsoleDlg::OnRunStop() {
  m_engine.RunOrStop();
  ShowChasePanel();
}

void CConsoleDlg::SetFileTitle(const std::string& path) {
  SetTitle(kFileTitlePrefix + std::filesystem::path(path).stem().string());
}

// The file is written whole beside the old one and then put in its place, so a failed save
// never costs the chase saved before; a failure is said, and the title stays.
void CConsoleDlg::OnSave() {
  const auto path = CHost::Current().ShowFileDialog(ChaseFileDialog(EFileDialogKind::Save));
  if (!path) return;
  if (const auto saved = m_engine.Chase().Save(*path); !saved) {
    MessageBox(saved.error().message, EMessageIcon::Warning);
    return;
  }
  m_engine.MarkSaved();
  SetFileTitle(*path);
}

// A file that cannot be read whole changes nothing: the chase, the settings and the screen stay
// as they were, and a message says why.
void CConsoleDlg::OnOpen() {
  // Opening replaces the chase the console holds, as closing ends it: the same question first.
  if (m_engine.HasUnsavedChanges() && !Ask(kOpenOverUnsavedQuestion, EMessageIcon::Warning)) return;
  const auto path = CHost::Current().ShowFileDialog(ChaseFileDialog(EFileDialogKind::Open));
  if (!path) return;
  const auto file = CChaseFile::Load(*path);
  if (!file) {
    MessageBox(file.error().message, EMessageIcon::Warning);
    return;
  }
  // Open is not offered during a run; should it come anyway, the run keeps the store.
  if (!m_engine.LoadChase(*file)) return;
  ShowChasePanel();
  SetFileTitle(*path);
}

// --- the system menu ---

bool CConsoleDlg::IsChasePanelShown() const {
  const auto& places = ChasePanelPlaces();
  return HasWindow() && !places.empty() && Controls()[places.front()]->IsVisible();
}

void CConsoleDlg::ToggleChasePanel() {
  const bool show = !IsChasePanelShown();
  bool focusHidden = false;
  for (std::size_t place : ChasePanelPlaces()) {
    CControl& control = *Controls()[place];
    control.Show(show);
    if (!show && control.Id() == FocusId()) focusHidden = true;
  }
  if (focusHidden) SetDefaultFocus();
  CHost::Current().WriteSetting(kPanelSetting, show ? "shown" : "hidden");
}

void CConsoleDlg::OnSysCommand(int command) {
  if ((command & 0xFFF0) == kChasePanelCommand) {
    ToggleChasePanel();
    return;
  }
  DefaultHandling({EMessage::SysCommand, command, 0, 0});
}
