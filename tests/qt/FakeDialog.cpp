// Test helpers for the Qt host.
#include "FakeDialog.h"

#include "framework/Resources.h"
#include "framework/ScrollStep.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

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
       {D::kCombo, K::ComboBox, {7, 96, 80, 60}, "", kDropDown | kVScroll},
       {D::kBitmap, K::Bitmap, {95, 96, 107, 50}, std::to_string(kPanelBanner)},
       {D::kIcon, K::Icon, {215, 120, 21, 20}, std::to_string(kProgramIcon)},
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
  for (const char* item : {"Alpha", "Beta", "Gamma"}) Item(kCombo).AddItem(item);
  Item(kCombo).SetSelection(0);
  AppendSysMenuSeparator();
  AppendSysMenuItem(kMenuCommand, "关于 Fake(&A)...");
  SetIcon(kProgramIcon, true);
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
                          EMessage::SysCommand, EMessage::Close})
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

std::unique_ptr<QTimer> Poll(std::function<bool()> step, int intervalMs) {
  auto timer = std::make_unique<QTimer>();
  QObject::connect(timer.get(), &QTimer::timeout, [timer = timer.get(), step = std::move(step)] {
    if (step()) timer->stop();
  });
  timer->start(intervalMs);
  return timer;
}

std::unique_ptr<QTimer> AnswerBoxes(std::vector<CBoxSeen>& seen, std::function<void(QMessageBox&)> answer,
                                    std::function<bool()> ready) {
  return Poll([&seen, answer, ready] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || (ready && !ready())) return false;
    QStringList buttons;
    for (const QAbstractButton* button : box->buttons()) buttons << button->text().remove('&');
    buttons.sort();
    seen.push_back({box->windowTitle(), box->text(), buttons.join(" "), box->icon(), box->parentWidget()});
    if (answer) answer(*box);
    else QTest::keyClick(box, Qt::Key_Return);
    return false;
  });
}

int QtHost::Run(CDialog& dialog, const std::function<void(CDialogWindow&)>& body) {
  QObject context;  // drops the start if the dialog never runs its loop
  QTimer::singleShot(0, &context, [&] {
    CDialogWindow* window = m_host->WindowOf(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    body(*window);
    if (!dialog.HasEnded()) dialog.EndDialog(-1);
  });
  return dialog.DoModal();
}

QRect RectOf(CDialogWindow& window, int id) { return window.Units().Rect(window.Dialog().Item(id).Rect()); }

void Drag(QWidget* slider, QPoint offset) {
  const QPoint from = slider->rect().center();
  QTest::mousePress(slider, Qt::LeftButton, {}, from);
  QTest::mouseMove(slider, from + offset);
  QTest::mouseRelease(slider, Qt::LeftButton, {}, from + offset);
}

QStringList ChooseSystemMenuItem(QWidget& window, int command, const std::function<void()>& open) {
  QStringList texts;
  bool picked = false;
  const auto picker = Poll([&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return false;
    for (QAction* action : menu->actions()) {
      texts << (action->isSeparator() ? "-" : action->text());
      if (action->data().toInt() == command) menu->setActiveAction(action);
    }
    if (!menu->activeAction()) menu->close();  // no such item
    QTest::keyClick(menu, Qt::Key_Return);
    return picked = true;
  });
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), window.mapToGlobal(QPoint(5, 5)));
  if (!open) QApplication::sendEvent(&window, &click);
  // A key reaches its shortcut only once the window is active again after an earlier menu: pressed again until then.
  for (int tries = 0; open && !picked && tries < 100; ++tries) {
    open();
    if (!picked) QTest::qWait(10);
  }
  return texts;
}
