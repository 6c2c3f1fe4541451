// The DMX console dialog: its layout, the fader bank, the console tick and the chase panel's binding.
#include "console/DmxTransmit.h"

#include "console/ChaseFile.h"
#include "framework/Resources.h"
#include "framework/ScrollStep.h"
#include "framework/Text.h"
#include "link/DmxLink.h"
#include "link/LineConstants.h"

#include <algorithm>
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

constexpr int kLevelStartCode = 0;
constexpr int kTopLevel = 255;
constexpr int kSliderPageSize = 10;

std::vector<CControlTemplate> ConsoleControls() {
  std::vector<CControlTemplate> c;
  // The frame first, so that the columns lie above it.
  c.push_back({IDC_STATIC, K::GroupBox, {7, 7, 556, 145}, ""});
  // Faders first in the tab order, so the keys move fader 1 when the console opens and Tab
  // walks along the bank.
  for (int k = 0; k < CDmxTransmit::kColumns; ++k)
    c.push_back({CDmxTransmit::FaderId(k), K::Trackbar, {14 + 17 * k, 28, 15, 100}, "", kFaderStyle});
  for (int k = 0; k < CDmxTransmit::kColumns; ++k)
    c.push_back({CDmxTransmit::ValueBoxId(k), K::Edit, {14 + 17 * k, 15, 15, 12}, "", kValueBoxStyle});
  for (int k = 0; k < CDmxTransmit::kColumns; ++k)
    c.push_back({CDmxTransmit::LabelId(k), K::Static, {16 + 17 * k, 127, 12, 8}, std::to_string(k + 1), S::kCentre});
  const std::vector<CControlTemplate> rest{
      {CDmxTransmit::kChannelBar, K::ScrollBar, {14, 137, 543, 11}, ""},
      {CDmxTransmit::kStandAloneButton, K::PushButton, {7, 157, 48, 14}, "Stand Alone"},
      {CDmxTransmit::kCleanButton, K::PushButton, {7, 175, 48, 14}, "Clean"},

      // The chase panel: created hidden; the system menu item shows it.
      {CDmxTransmit::kAddButton, K::PushButton, {59, 157, 40, 14}, "Add", 0, kHidden},
      {CDmxTransmit::kInsertButton, K::PushButton, {103, 157, 40, 14}, "Insert", 0, kHidden, kDisabled},
      {CDmxTransmit::kRunButton, K::PushButton, {147, 157, 40, 14}, "Run", 0, kHidden, kDisabled},
      {CDmxTransmit::kOpenButton, K::PushButton, {191, 157, 40, 14}, "Open", 0, kHidden},
      {CDmxTransmit::kDeleteButton, K::PushButton, {59, 175, 40, 14}, "Delete", 0, kHidden, kDisabled},
      {CDmxTransmit::kCopyButton, K::PushButton, {103, 175, 40, 14}, "Copy", 0, kHidden},
      {CDmxTransmit::kPasteButton, K::PushButton, {147, 175, 40, 14}, "Paste", 0, kHidden, kDisabled},
      {CDmxTransmit::kSaveButton, K::PushButton, {191, 175, 40, 14}, "Save", 0, kHidden, kDisabled},
      {IDC_STATIC, K::Static, {246, 160, 38, 8}, "Total Step :", 0, kHidden},
      {CDmxTransmit::kStepCountDisplay, K::Static, {290, 160, 16, 8}, "0", 0, kHidden},
      {IDC_STATIC, K::Static, {238, 176, 46, 8}, "Step Number :", 0, kHidden},
      {CDmxTransmit::kStepNumberDisplay, K::Static, {290, 176, 16, 8}, "1", 0, kHidden},
      {CDmxTransmit::kStepSelector, K::UpDown, {310, 158, 11, 31}, "", kSelectorStyle, kHidden},
      {IDC_STATIC, K::Static, {337, 158, 21, 8}, "Speed", 0, kHidden},
      {CDmxTransmit::kSpeedSlider, K::Trackbar, {357, 155, 181, 15}, "", kSliderStyle, kHidden},
      {CDmxTransmit::kSpeedDisplay, K::Static, {539, 157, 23, 8}, "0'0.1\"", 0, kHidden},
      {IDC_STATIC, K::Static, {324, 176, 34, 8}, "Fade Time", 0, kHidden},
      {CDmxTransmit::kFadeSlider, K::Trackbar, {357, 174, 181, 15}, "", kSliderStyle, kHidden},
      {CDmxTransmit::kFadeDisplay, K::Static, {539, 176, 23, 8}, "0'0.0\"", 0, kHidden},
  };
  c.insert(c.end(), rest.begin(), rest.end());
  return c;
}

// The chase panel's controls are exactly those the layout creates hidden; their places in
// the template, which are also their places among the dialog's controls.
const std::vector<std::size_t>& ChasePanelPlaces() {
  static const std::vector<std::size_t> places = [] {
    std::vector<std::size_t> result;
    const auto& controls = CDmxTransmit::Layout().controls;
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
  for (int k = 0; k < CDmxTransmit::kColumns; ++k)
    if (CDmxTransmit::FaderId(k) == id) return k;
  return std::nullopt;
}

CFileDialog ChaseFileDialog(EFileDialogKind kind) {
  CFileDialog dialog;
  dialog.kind = kind;
  dialog.defaultExtension = "zkc";
  dialog.initialName = "*.zkc";
  dialog.filter = CDmxTransmit::ChaseFileFilter();
  dialog.hideReadOnly = true;
  dialog.fileMustExist = true;
  return dialog;
}

}  // namespace

const CDialogTemplate& CDmxTransmit::Layout() {
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

const char* CDmxTransmit::ChaseFileFilter() {
  return "Zelkar Lighting Chase Files (*.zkc)|*.zkc|All Files (*.*)|*.*||";
}

CDmxTransmit::CDmxTransmit(CDmxLink& link, CConsoleData& data) : CDialog(Layout()), m_data(data), m_link(link) {
  std::lock_guard lock(m_dataMutex);
  m_data.StartConsole();
  HandOverFrameLocked();
}

void CDmxTransmit::HandOverFrameLocked() {
  const auto frame = m_data.FrameBuffer();
  HandOverPages(m_link, frame.data());
}

CDmxTransmit::~CDmxTransmit() {
  // The window's destruction stops the tick; this only covers a console whose window never
  // got that far.
  if (m_tickTimer != 0) CHost::Current().StopPeriodicTimer(m_tickTimer);
}

const CMessageTable& CDmxTransmit::MessageTable() const {
  using D = CDmxTransmit;
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
                                         .Destroy(&D::OnDestroy);
  return table;
}

bool CDmxTransmit::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  if (HasSystemMenu()) {
    AppendSysMenuSeparator();
    AppendSysMenuItem(kChasePanelCommand, "Chase Panel");
  }
  for (int k = 0; k < kColumns; ++k) {
    CControl& fader = Item(FaderId(k));
    fader.SetRange(0, kTopLevel);
    fader.SetPos(kTopLevel);
    SetItemText(ValueBoxId(k), "0");
  }
  Item(kChannelBar).SetRange(0, kLastBase);
  EnableItem(kStepSelector, false);
  Item(kSpeedSlider).SetRange(0, kSpeedTop);
  Item(kSpeedSlider).SetPageSize(kSliderPageSize);
  Item(kFadeSlider).SetRange(0, kFadeTop);
  Item(kFadeSlider).SetPageSize(kSliderPageSize);
  // Last: from here on the tick may run.
  m_tickTimer = CHost::Current().StartPeriodicTimer(kTickMs, [this] { ConsoleTick(); });
  return true;
}

void CDmxTransmit::OnDestroy() {
  // Waits for a tick under way, so nothing of the tick outlives the controls.
  if (m_tickTimer != 0) CHost::Current().StopPeriodicTimer(m_tickTimer);
  m_tickTimer = 0;
}

// --- the console tick ---

void CDmxTransmit::ConsoleTick() {
  CChaseStep live;
  bool stepChanged = false;
  {
    std::lock_guard lock(m_dataMutex);
    stepChanged = m_data.Tick();
    std::copy(m_data.LivePage().begin(), m_data.LivePage().end(), live.begin());
  }
  m_link.DmxLinkTransmitStartWithPageValue(0, live.data());
  if (stepChanged) PostToSelf([this] { ShowStepNumber(); });
}

// Shows the step being played now, which is also right if the run has moved on or stopped
// since the tick that asked for it.
void CDmxTransmit::ShowStepNumber() {
  if (!HasWindow()) return;
  std::string text;
  {
    std::lock_guard lock(m_dataMutex);
    text = m_data.StepNumberText();
  }
  SetItemText(kStepNumberDisplay, text);
}

// --- faders and the channel bar ---

int CDmxTransmit::ChannelBase() const { return Item(kChannelBar).Pos(); }

CDmxTransmit::CColumnLevels CDmxTransmit::ColumnLevelsLocked(int base) const {
  CColumnLevels levels{};
  for (int k = 0; k < kColumns; ++k)
    levels[static_cast<std::size_t>(k)] = m_data.Level(static_cast<std::size_t>(base + k));
  return levels;
}

void CDmxTransmit::ShowColumns(int base, const CColumnLevels& levels) {
  for (int k = 0; k < kColumns; ++k) Item(FaderId(k)).SetPos(kTopLevel - levels[static_cast<std::size_t>(k)]);
  for (int k = 0; k < kColumns; ++k) SetItemText(ValueBoxId(k), Decimal(levels[static_cast<std::size_t>(k)]));
  for (int k = 0; k < kColumns; ++k) SetItemText(LabelId(k), Decimal(base + 1 + k));
}

void CDmxTransmit::OnVScroll(int id, int code, int pos) {
  if (id == kStepSelector) {
    if (!IsSelectorMove(code)) return;
    const auto step = static_cast<std::uint8_t>(pos);
    RunChaseOperation([&] { return m_data.StepSelectorMoved(step); });
    return;
  }
  if (!IsFaderMove(code)) return;
  if (const auto column = ColumnOf(id)) OnFaderMoved(*column);
}

void CDmxTransmit::OnFaderMoved(int column) {
  const auto level = static_cast<std::uint8_t>(kTopLevel - Item(FaderId(column)).Pos());
  const int index = ChannelBase() + column;
  SetItemText(ValueBoxId(column), Decimal(level));
  {
    std::lock_guard lock(m_dataMutex);
    m_data.SetLevel(static_cast<std::size_t>(index), level);
  }
  if (index >= kFirstChannelCall) m_link.DmxLinkTransmitSetChannelValue(index, level);
}

void CDmxTransmit::OnHScroll(int id, int code, int pos) {
  switch (id) {
    case kChannelBar:
      OnChannelBarScrolled(code, pos);
      break;
    case kSpeedSlider: {
      const auto speed = static_cast<std::uint16_t>(Item(kSpeedSlider).Pos());
      RunChaseOperation([&] { return m_data.Player().SetSpeed(speed); });
      break;
    }
    case kFadeSlider: {
      const auto fade = static_cast<std::uint16_t>(Item(kFadeSlider).Pos());
      RunChaseOperation([&] { return m_data.Player().SetFade(fade); });
      break;
    }
    default:
      break;
  }
}

void CDmxTransmit::OnChannelBarScrolled(int code, int pos) {
  // The thumb position comes as 16 bits.
  const auto moved = StepScrollBar(code, ChannelBase(), pos & 0xFFFF, kLastBase);
  if (!moved) return;
  Item(kChannelBar).SetPos(*moved);
  const int base = ChannelBase();
  CColumnLevels levels;
  {
    std::lock_guard lock(m_dataMutex);
    levels = ColumnLevelsLocked(base);
  }
  ShowColumns(base, levels);
}

// --- Stand Alone and Clean ---

void CDmxTransmit::OnStandAlone() {
  m_standAlone = !m_standAlone;
  if (m_standAlone) {
    m_link.DmxLinkStandBy();
    SetItemText(kStandAloneButton, "DMX Out");
  } else {
    m_link.DmxLinkSetMode(kLinkMark, kLevelStartCode, 0, kUniverseSlots);
    SetItemText(kStandAloneButton, "Stand Alone");
  }
}

void CDmxTransmit::OnClean() {
  {
    std::lock_guard lock(m_dataMutex);
    for (std::size_t i = 0; i < CConsoleData::kChannelCount; ++i) m_data.SetLevel(i, 0);
    HandOverFrameLocked();
  }
  ShowColumns(ChannelBase(), CColumnLevels{});
}

// --- the chase panel ---

template <class Operation>
void CDmxTransmit::RunChaseOperation(Operation operation) {
  const int base = ChannelBase();
  CChasePanelUpdate update;
  CColumnLevels levels{};
  {
    std::lock_guard lock(m_dataMutex);
    update = operation();
    if (update.m_refreshFaders) levels = ColumnLevelsLocked(base);
  }
  Apply(update, levels);
}

void CDmxTransmit::SetConsoleEnabled(bool enabled) {
  for (int k = 0; k < kColumns; ++k) EnableItem(FaderId(k), enabled);
  EnableItem(kChannelBar, enabled);
  EnableItem(kStandAloneButton, enabled);
  EnableItem(kCleanButton, enabled);
}

void CDmxTransmit::Apply(const CChasePanelUpdate& update, const CColumnLevels& levels) {
  if (update.m_consoleEnabled) SetConsoleEnabled(*update.m_consoleEnabled);
  const auto enable = [this](int id, const std::optional<bool>& enabled) {
    if (enabled) EnableItem(id, *enabled);
  };
  enable(kDeleteButton, update.m_deleteEnabled);
  enable(kCopyButton, update.m_copyEnabled);
  enable(kAddButton, update.m_addEnabled);
  enable(kPasteButton, update.m_pasteEnabled);
  enable(kInsertButton, update.m_insertEnabled);
  enable(kOpenButton, update.m_openEnabled);
  enable(kSaveButton, update.m_saveEnabled);
  enable(kRunButton, update.m_runEnabled);
  enable(kSpeedSlider, update.m_speedEnabled);
  if (update.m_addText) SetItemText(kAddButton, *update.m_addText);
  if (update.m_runText) SetItemText(kRunButton, *update.m_runText);
  if (update.m_stepCountText) SetItemText(kStepCountDisplay, *update.m_stepCountText);
  if (update.m_stepNumberText) SetItemText(kStepNumberDisplay, *update.m_stepNumberText);
  if (update.m_selectorUpper) Item(kStepSelector).SetRange(0, *update.m_selectorUpper);
  if (update.m_selectorPos) Item(kStepSelector).SetPos(*update.m_selectorPos);
  enable(kStepSelector, update.m_selectorEnabled);
  if (update.m_speedText) SetItemText(kSpeedDisplay, *update.m_speedText);
  if (update.m_speedPos) Item(kSpeedSlider).SetPos(*update.m_speedPos);
  if (update.m_fadeText) SetItemText(kFadeDisplay, *update.m_fadeText);
  if (update.m_fadePos) Item(kFadeSlider).SetPos(*update.m_fadePos);
  if (update.m_refreshFaders) ShowColumns(ChannelBase(), levels);
}

void CDmxTransmit::OnAdd() {
  RunChaseOperation([this] { return m_data.Store().AddOrOverwrite(); });
}

void CDmxTransmit::OnInsert() {
  RunChaseOperation([this] { return m_data.Store().Insert(); });
}

void CDmxTransmit::OnDelete() {
  RunChaseOperation([this] { return m_data.Store().Delete(); });
}

void CDmxTransmit::OnCopy() {
  RunChaseOperation([this] { return m_data.Store().Copy(); });
}

void CDmxTransmit::OnPaste() {
  RunChaseOperation([this] { return m_data.Store().Paste(); });
}

void CDmxTransmit::OnRunStop() {
  RunChaseOperation([this] { return m_data.RunOrStop(); });
}

void CDmxTransmit::SetFileTitle(const std::string& path) {
  SetTitle(kFileTitlePrefix + std::filesystem::path(path).stem().string());
}

// The file is written whole beside the old one and then put in its place, so a failed save
// never costs the chase saved before; a failure is said, and the title stays.
void CDmxTransmit::OnSave() {
  const auto path = CHost::Current().ShowFileDialog(ChaseFileDialog(EFileDialogKind::Save));
  if (!path) return;
  CChaseFile file;
  {
    std::lock_guard lock(m_dataMutex);
    file = m_data.MakeChaseFile();
  }
  if (const auto saved = file.Save(*path); !saved) {
    MessageBox(saved.error().message, EMessageIcon::Warning);
    return;
  }
  SetFileTitle(*path);
}

// A file that cannot be read whole changes nothing: the chase, the settings and the screen stay
// as they were, and a message says why.
void CDmxTransmit::OnOpen() {
  const auto path = CHost::Current().ShowFileDialog(ChaseFileDialog(EFileDialogKind::Open));
  if (!path) return;
  const auto file = CChaseFile::Load(*path);
  if (!file) {
    MessageBox(file.error().message, EMessageIcon::Warning);
    return;
  }
  bool loaded = false;
  RunChaseOperation([&] {
    // Open is not offered during a run; should it come anyway, the run keeps the store.
    if (m_data.Player().IsRunning()) return CChasePanelUpdate{};
    loaded = true;
    return m_data.LoadChase(*file);
  });
  if (loaded) SetFileTitle(*path);
}

// --- the system menu ---

bool CDmxTransmit::IsChasePanelShown() const {
  const auto& places = ChasePanelPlaces();
  return HasWindow() && !places.empty() && Controls()[places.front()]->IsVisible();
}

void CDmxTransmit::ToggleChasePanel() {
  const bool show = !IsChasePanelShown();
  bool focusHidden = false;
  for (std::size_t place : ChasePanelPlaces()) {
    CControl& control = *Controls()[place];
    control.Show(show);
    if (!show && control.Id() == FocusId()) focusHidden = true;
  }
  if (focusHidden) SetDefaultFocus();
}

void CDmxTransmit::OnSysCommand(int command) {
  if ((command & 0xFFF0) == kChasePanelCommand) {
    ToggleChasePanel();
    return;
  }
  DefaultHandling({EMessage::SysCommand, command, 0, 0});
}
