#include "support/FakeDialog.h"

#include "framework/Resources.h"
#include "framework/ScrollStep.h"

namespace {

const CDialogTemplate& Layout() {
  using namespace ControlStyle;
  using D = CFakeDialog;
  using K = EControlKind;
  static const CDialogTemplate layout{
      D::kResourceId, "Fake Dialog", 260, 150, "MS Shell Dlg", 8, DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {{D::kButton, K::PushButton, {7, 7, 50, 14}, "Push"},
       {IDOK, K::DefPushButton, {61, 7, 50, 14}, "OK"},
       {D::kField, K::Edit, {7, 27, 40, 12}, "", kBorder | kDigitsOnly | kAutoHScroll},
       {D::kNextField, K::Edit, {205, 100, 20, 12}, "", kBorder},
       {D::kLabel, K::Static, {52, 29, 60, 8}, "Label"},
       {D::kBar, K::ScrollBar, {7, 45, 120, 11}, ""},
       {D::kTrack, K::Trackbar, {7, 60, 120, 15}, "", kNoTicks | kBothPointers},
       {D::kFader, K::Trackbar, {160, 20, 15, 70}, "", kVertical | kNoTicks | kBothPointers},
       {D::kUpDown, K::UpDown, {185, 20, 11, 31}, "", kVertical | kArrowKeys | kNoBuddy},
       {D::kProgress, K::Progress, {7, 80, 120, 10}, "", kBorder},
       {D::kCombo, K::ComboBox, {7, 96, 80, 60}, "", kDropDown | kVScroll | kSorted},
       {D::kBitmap, K::Bitmap, {95, 96, 107, 50}, std::to_string(kPanelBanner)},
       {D::kIcon, K::Icon, {215, 120, 21, 20}, std::to_string(kProgramIcon)},
       {D::kReadOnly, K::Edit, {7, 115, 40, 12}, "", kBorder | kReadOnly},
       {D::kHidden, K::PushButton, {7, 131, 40, 14}, "Hidden", 0, false},
       {D::kDisabled, K::PushButton, {50, 131, 40, 14}, "Disabled", 0, true, false},
       {D::kCheck, K::CheckBox, {205, 140, 50, 10}, "Tick"},
       {D::kGroup, K::GroupBox, {150, 4, 104, 90}, "Group"}}};  // made after the controls it holds
  return layout;
}

}  // namespace

CFakeDialog::CFakeDialog() : CDialog(Layout()) {}

bool CFakeDialog::OnInitDialog() {
  Item(kBar).SetRange(0, 100);
  Item(kBar).SetPos(10);
  Item(kTrack).SetRange(0, 100);
  Item(kTrack).SetPos(50);
  Item(kFader).SetRange(0, 255);
  Item(kUpDown).SetRange(0, 9);
  Item(kUpDown).SetPos(3);
  for (const char* item : {"Gamma", "Alpha", "Beta"}) Item(kCombo).AddItem(item);  // shown sorted
  Item(kCombo).SetSelection(0);
  AppendSysMenuSeparator();
  AppendSysMenuItem(kMenuCommand, "关于 Fake(&A)...");
  SetIcon(kProgramIcon, true);
  if (onInit) onInit();
  return true;
}

const CMessageTable& CFakeDialog::MessageTable() const {
  static const auto handle = [](CDialog& dialog, const CMessage& m) {
    auto& self = static_cast<CFakeDialog&>(dialog);
    const bool fromControl = m.kind != EMessage::Timer && m.kind != EMessage::SysCommand;
    const CControl* control = fromControl ? self.FindItem(m.id) : nullptr;
    self.log.push_back({m, control ? control->Pos() : 0, control ? control->Text() : ""});
    if (self.onMessage && self.onMessage(m)) return;
    if (m.kind != EMessage::HScroll || m.id != kBar) return self.DefaultHandling(m);
    const auto next = StepScrollBar(m.code, self.Item(kBar).Pos(), m.pos, self.Item(kBar).Max());
    if (next && !self.refuseScroll) self.Item(kBar).SetPos(*next);
  };
  static const CMessageTable table = [] {
    CMessageTable t;
    for (EMessage kind : {EMessage::Command, EMessage::HScroll, EMessage::VScroll, EMessage::Timer,
                          EMessage::SysCommand, EMessage::Close, EMessage::Destroy})
      t.push_back({kind, kAnyId, kAnyCode, handle});
    return t;
  }();
  return table;
}

std::vector<std::string> CFakeDialog::Take(int id) {
  std::vector<std::string> seen;
  for (const CRecord& record : log)
    if (record.message.id == id) seen.push_back(Seen(record.message.code, record.message.pos));
  log.clear();
  return seen;
}

std::string Seen(int code, int pos) { return std::to_string(code) + " " + std::to_string(pos); }
