// Test helpers for the Qt host.
#include "FakeDialog.h"

#include "framework/Resources.h"
#include "link/DmxLine.h"
#include "outputs/OutputFactory.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QLinearGradient>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>

namespace {

const CDialogTemplate& Layout() {
  using namespace ControlStyle;
  using D = CFakeDialog;
  static const CDialogTemplate layout{
      D::kResourceId, "Fake Dialog", 260, 150, "MS Shell Dlg", 8,
      DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {
          {D::kButton, EControlKind::PushButton, {7, 7, 50, 14}, "Push"},
          {IDOK, EControlKind::DefPushButton, {61, 7, 50, 14}, "OK"},
          {D::kField, EControlKind::Edit, {7, 27, 40, 12}, "", kBorder | kDigitsOnly | kAutoHScroll},
          {D::kLabel, EControlKind::Static, {52, 29, 60, 8}, "Label"},
          {D::kGroup, EControlKind::GroupBox, {150, 4, 104, 90}, "Group"},
          {D::kBar, EControlKind::ScrollBar, {7, 45, 120, 11}, ""},
          {D::kTrack, EControlKind::Trackbar, {7, 60, 120, 15}, "", kNoTicks | kBothPointers},
          {D::kFader, EControlKind::Trackbar, {160, 20, 15, 70}, "", kVertical | kNoTicks | kBothPointers},
          {D::kUpDown, EControlKind::UpDown, {185, 20, 11, 31}, "", kVertical | kArrowKeys | kNoBuddy},
          {D::kProgress, EControlKind::Progress, {7, 80, 120, 10}, "", kBorder},
          {D::kCombo, EControlKind::ComboBox, {7, 96, 80, 60}, "", kDropDown | kVScroll},
          {D::kBitmap, EControlKind::Bitmap, {95, 96, 107, 50}, std::to_string(kPanelBanner)},
          {D::kIcon, EControlKind::Icon, {215, 100, 21, 20}, std::to_string(kProgramIcon)},
          {D::kValueBox, EControlKind::Edit, {205, 20, 20, 12}, "255", kReadOnly | kCentre | kBorder},
      }};
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
  Item(kProgress).SetRange(0, 255);
  Item(kProgress).SetPos(64);
  for (const char* item : {"Alpha", "Beta", "Gamma"}) Item(kCombo).AddItem(item);
  Item(kCombo).SetSelection(0);
  AppendSysMenuSeparator();
  AppendSysMenuItem(kAboutCommand, "关于 Fake(&A)...");
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  return true;
}

const CMessageTable& CFakeDialog::MessageTable() const {
  static const auto record = [](CDialog& dialog, const CMessage& message) {
    static_cast<CFakeDialog&>(dialog).Handle(message);
  };
  static const CMessageTable table = {
      {EMessage::Command, kAnyId, kAnyCode, record},    {EMessage::HScroll, kAnyId, kAnyCode, record},
      {EMessage::VScroll, kAnyId, kAnyCode, record},    {EMessage::Timer, kAnyId, kAnyCode, record},
      {EMessage::SysCommand, kAnyId, kAnyCode, record}, {EMessage::Close, kAnyId, kAnyCode, record},
      {EMessage::Destroy, kAnyId, kAnyCode, record},
  };
  return table;
}

void CFakeDialog::Handle(const CMessage& message) {
  CRecord record{message, 0, {}, -1, FocusId()};
  const bool fromControl = message.kind == EMessage::Command || message.kind == EMessage::HScroll ||
                           message.kind == EMessage::VScroll;
  if (const CControl* control = fromControl ? FindItem(message.id) : nullptr)
    record = {message, control->Pos(), control->Text(), control->Selection(), record.focusId};
  log.push_back(record);
  if (onMessage && onMessage(message)) return;
  if (message.kind != EMessage::HScroll || message.id != kBar) return DefaultHandling(message);
  CControl& bar = Item(kBar);
  int next = bar.Pos();
  switch (message.code) {
    case SB_LINELEFT: next -= 1; break;
    case SB_LINERIGHT: next += 1; break;
    case SB_PAGELEFT: next -= 10; break;
    case SB_PAGERIGHT: next += 10; break;
    case SB_THUMBTRACK: next = message.pos; break;
    default: return;
  }
  if (!refuseScroll) bar.SetPos(std::clamp(next, bar.Min(), bar.Max()));
}

std::vector<CMessage> CFakeDialog::Messages(EMessage kind, int id) const {
  std::vector<CMessage> result;
  for (const CRecord& record : log)
    if (record.message.kind == kind && (id == kAnyId || record.message.id == id)) result.push_back(record.message);
  return result;
}

std::vector<int> CFakeDialog::Codes(EMessage kind, int id) const {
  std::vector<int> codes;
  for (const CMessage& message : Messages(kind, id)) codes.push_back(message.code);
  return codes;
}

const CFakeDialog::CRecord& CFakeDialog::Last(EMessage kind, int id) const {
  for (auto it = log.rbegin(); it != log.rend(); ++it)
    if (it->message.kind == kind && it->message.id == id) return *it;
  static const CRecord none{};
  ADD_FAILURE() << "no message from control " << id;
  return none;
}

CPoller::CPoller(std::function<bool()> step, int intervalMs) : m_step(std::move(step)) {
  QObject::connect(&m_timer, &QTimer::timeout, [this] {
    if (m_step()) m_timer.stop();
  });
  m_timer.start(intervalMs);
}

CBoxAnswerer::CBoxAnswerer(std::function<bool()> ready)
    : m_ready(std::move(ready)), m_poller([this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || (m_ready && !m_ready())) return false;
        seen.push_back({box->windowTitle(), box->text(), static_cast<int>(box->icon()), box->parentWidget(),
                        static_cast<int>(box->buttons().size())});
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
        else box->reject();
        return false;  // keep answering
      }) {}

CVirtualLine::CVirtualLine() { m_line.SetOutput(std::move(*MakeOutput("virtual"))); }

int CVirtualLine::LastLevel(int slot) const {
  const auto frame = m_line.Status().lastFrame;
  return frame ? frame->slots.at(static_cast<std::size_t>(slot - 1)) : -1;
}

int QtHost::Run(CDialog& dialog, const std::function<void(CDialogWindow&)>& body) {
  QObject context;  // cancels the start if the dialog never runs its loop
  QTimer::singleShot(0, &context, [&] {
    if (CDialogWindow* window = m_host->WindowOf(dialog)) {
      EXPECT_TRUE(QTest::qWaitForWindowActive(window));
      body(*window);
    } else {
      ADD_FAILURE() << "the dialog has no window";
    }
    if (!dialog.HasEnded()) dialog.EndDialog(-1);
  });
  return dialog.DoModal();
}

QRect SubControl(QAbstractSlider* slider, QStyle::SubControl part) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.singleStep = slider->singleStep();
  option.pageStep = slider->pageStep();
  option.upsideDown = slider->orientation() == Qt::Horizontal ? slider->invertedAppearance()
                                                               : !slider->invertedAppearance();
  auto* qslider = qobject_cast<QSlider*>(slider);
  if (qslider) {
    option.tickPosition = qslider->tickPosition();
    option.tickInterval = qslider->tickInterval();
  }
  option.subControls = QStyle::SC_All;
  return slider->style()->subControlRect(qslider ? QStyle::CC_Slider : QStyle::CC_ScrollBar, &option, part, slider);
}

void Drag(QAbstractSlider* slider, QPoint offset) {
  const auto part = qobject_cast<QSlider*>(slider) ? QStyle::SC_SliderHandle : QStyle::SC_ScrollBarSlider;
  const QPoint from = SubControl(slider, part).center();
  QTest::mousePress(slider, Qt::LeftButton, {}, from);
  QTest::mouseMove(slider, from + offset / 2);
  QTest::mouseMove(slider, from + offset);
  QTest::mouseRelease(slider, Qt::LeftButton, {}, from + offset);
}

void ChooseSystemMenuItem(QWidget& window, int command, QStringList* texts) {
  CPoller picker([&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return false;
    for (QAction* action : menu->actions()) {
      if (texts) *texts << (action->isSeparator() ? "-" : action->text());
      if (action->data().toInt() == command) menu->setActiveAction(action);
    }
    QTest::keyClick(menu, Qt::Key_Return);
    return true;
  });
  const QPoint at(window.width() / 2, window.height() - 10);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window.mapToGlobal(at));
  QApplication::sendEvent(&window, &event);
}

std::string SaveScreenshot(QWidget& window, const std::string& name, bool withCaption) {
  const QPixmap client = window.grab();
  const int caption = withCaption ? 24 : 0;
  QImage shot(client.width(), client.height() + caption, QImage::Format_RGB32);
  QPainter painter(&shot);
  QLinearGradient bar(0, 0, 0, caption);
  bar.setColorAt(0, QColor(0x3a, 0x5f, 0x9e));
  bar.setColorAt(1, QColor(0x27, 0x45, 0x7a));
  painter.fillRect(QRect(0, 0, shot.width(), caption), bar);
  window.windowIcon().paint(&painter, QRect(4, 4, 16, 16));
  QFont font = window.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(26, 0, shot.width() - 30, caption), Qt::AlignVCenter | Qt::AlignLeft, window.windowTitle());
  painter.drawPixmap(0, caption, client);
  painter.end();
  const QString folder = QString(VEXMIRA_BINARY_DIR) + "/screenshots";
  QDir().mkpath(folder);
  const QString path = folder + "/" + QString::fromStdString(name);
  EXPECT_TRUE(shot.save(path)) << path.toStdString();
  return path.toStdString();
}
