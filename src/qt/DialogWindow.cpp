// A dialog's window: its controls' bindings, and the focus, keys and menu of the dialog as a whole.
#include "qt/DialogWindow.h"

#include "framework/Resources.h"
#include "qt/ControlBinding.h"
#include "qt/ProgramIcon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <algorithm>

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

constexpr int kNarrowest = 85;  // font stretch, in percent

// The dialog fonts of Windows stand for the system's sans serif face, at the same point size.
// That face is wider than the one the layouts were drawn with (its average letter is about
// 6.8 pixels at 8 points against 6), so it is narrowed until its letters fit the base unit
// again; otherwise captions would run into the controls beside them.
QFont DialogFont(const CDialogTemplate& dialogTemplate, double scale, double screenScale) {
  static const char* const kShellFonts[] = {"MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif",
                                            "Tahoma", "System"};
  QString family = ToQt(dialogTemplate.font);
  for (const char* shell : kShellFonts)
    if (dialogTemplate.font == shell) family = "DejaVu Sans";
  const int pointSize = dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 8;
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  // Points become pixels at the screen's dots per inch: a window drawn at another scale than its
  // screen's scales its font with it.
  font.setPointSizeF(pointSize * scale / screenScale);
  const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const double average = QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
  const double wanted = CDialogUnits::kBaseX * scale * pointSize / 8.0;
  if (average > wanted) font.setStretch(std::max(kNarrowest, static_cast<int>(100 * wanted / average)));
  return font;
}

Qt::WindowFlags WindowFlags(const CDialogTemplate& dialogTemplate) {
  const bool appWindow = (dialogTemplate.style & DialogStyle::kAppWindow) != 0;
  Qt::WindowFlags flags = appWindow ? Qt::Window : Qt::Dialog;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (dialogTemplate.style & DialogStyle::kSysMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (appWindow) flags |= Qt::WindowMinimizeButtonHint;
  return flags;
}

double ScaleFor(QWidget* owner) {
  return CDialogUnits::ScaleOf(owner ? owner->screen() : QGuiApplication::primaryScreen());
}

}  // namespace

CDialogWindow::CDialogWindow(CDialog& dialog, Send send, QWidget* owner, std::optional<double> scale)
    : QDialog(owner, WindowFlags(dialog.Template())), m_dialog(dialog), m_send(std::move(send)),
      m_units(scale.value_or(ScaleFor(owner))) {
  const CDialogTemplate& dialogTemplate = dialog.Template();
  // Modal to the windows under it only: windows of no owner (the line monitor) stay usable.
  setWindowModality(owner ? Qt::WindowModal : Qt::NonModal);
  setFont(DialogFont(dialogTemplate, m_units.Scale(), ScaleFor(owner)));
  setWindowTitle(ToQt(dialog.Title()));
  setFixedSize(m_units.Size(dialogTemplate.cx, dialogTemplate.cy));

  for (const auto& control : dialog.Controls()) {
    auto binding = CControlBinding::Create(*control, *this);
    QWidget* widget = binding->Widget();
    m_controlOf[widget] = control.get();
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
    binding->MirrorAll();
    control->SetObserver([raw = binding.get()](const CControl&, EControlChange change) { raw->Mirror(change); });
    m_bindings.push_back(std::move(binding));
  }
  dialog.SetObserver([this](EDialogChange change) { OnDialogChanged(change); });
  OnDialogChanged(EDialogChange::Icon);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) { OnFocusChanged(old, now); });
  // The keys that open a context menu open the system menu: Shift+F10 and the Menu key, and
  // Alt+Space as on Windows, where the desktop leaves it to the window.
  for (const QKeySequence& keys : {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu),
                                   QKeySequence(Qt::ALT | Qt::Key_Space)}) {
    auto* menuKey = new QShortcut(keys, this);
    connect(menuKey, &QShortcut::activated, this, [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
  }
}

CDialogWindow::~CDialogWindow() { Detach(); }

void CDialogWindow::Detach() {
  if (!m_attached) return;
  m_attached = false;
  m_pendingKillFocus.clear();
  for (const auto& binding : m_bindings) binding->Control().SetObserver({});
  m_dialog.SetObserver({});
}

// --- dialog to window ---

void CDialogWindow::OnDialogChanged(EDialogChange change) {
  switch (change) {
    case EDialogChange::Title:
      setWindowTitle(ToQt(m_dialog.Title()));
      break;
    case EDialogChange::Focus:
      ApplyFocus();
      break;
    case EDialogChange::Icon:
      if (m_dialog.BigIcon() == kProgramIcon || m_dialog.SmallIcon() == kProgramIcon)
        setWindowIcon(CProgramIcon::Icon());
      break;
    case EDialogChange::SysMenu:
      break;  // built each time it is opened
  }
}

void CDialogWindow::ApplyFocus() {
  CApplying applying(*this);
  const int id = m_dialog.FocusId();
  if (id == 0) {
    if (QWidget* focused = focusWidget(); focused && focused->hasFocus()) focused->clearFocus();
    return;
  }
  if (QWidget* widget = Widget(id)) widget->setFocus(Qt::OtherFocusReason);
}

void CDialogWindow::ShowModal() {
  CApplying applying(*this);
  // A window already placed (where the user left it last time) stays there.
  if ((m_dialog.Template().style & DialogStyle::kCentreMouse) && !testAttribute(Qt::WA_Moved))
    move(QCursor::pos() - QPoint(width() / 2, height() / 2));
  show();
  raise();
  activateWindow();
}

// --- window to dialog ---

// The focus moving inside the window is the dialog's focus moving. Only a move the user made
// (from one control of this window to another) makes a field notify that it lost the focus;
// moves caused by the dialog (hiding the focused control) or by the window being activated
// are only recorded.
void CDialogWindow::OnFocusChanged(QWidget* old, QWidget* now) {
  if (!m_attached || !now || now->window() != this) return;
  CControl* control = ControlOf(now);
  if (!control || control->Id() == m_dialog.FocusId()) return;
  const int previous = m_dialog.FocusId();
  const bool userMove = m_applying == 0 && old && old->window() == this;
  {
    CApplying applying(*this);
    m_dialog.SetFocus(control->Id());
  }
  if (!userMove) return;
  const CControl* left = m_dialog.FindItem(previous);
  if (left && left->Kind() == EControlKind::Edit) {
    // Sent from the event loop, not from inside Qt's focus change; a click that caused the move
    // runs it first (eventFilter).
    m_pendingKillFocus.push_back(previous);
    QTimer::singleShot(0, this, [this] { RunPendingKillFocus(); });
  }
}

void CDialogWindow::RunPendingKillFocus() {
  while (m_attached && !m_pendingKillFocus.empty()) {
    const int id = m_pendingKillFocus.front();
    m_pendingKillFocus.pop_front();
    if (m_dialog.HasEnded()) {
      m_pendingKillFocus.clear();
      return;
    }
    Notify({EMessage::Command, id, EN_KILLFOCUS, 0});
  }
}

bool CDialogWindow::SettleFocusFor(const CControl& control) {
  if (m_pendingKillFocus.empty()) return m_attached && !m_dialog.HasEnded();
  RunPendingKillFocus();
  return m_attached && !m_dialog.HasEnded() && (!control.TakesFocus() || m_dialog.FocusId() == control.Id());
}

// A press or a key on a control that has just taken the focus from a field: the field's check
// runs first, and if it took the focus back, the press or key is lost, as on Windows. Keys
// count too, so text typed at once into the next field is never overwritten by the check.
bool CDialogWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (m_attached &&
      (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick || type == QEvent::KeyPress) &&
      !m_pendingKillFocus.empty() && watched->isWidgetType()) {
    const CControl* control = ControlOf(static_cast<QWidget*>(watched));
    if (control && !SettleFocusFor(*control)) return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CDialogWindow::closeEvent(QCloseEvent* event) {
  if (!m_attached) {
    event->accept();
    return;
  }
  // The dialog decides whether it closes; by default it ends.
  event->ignore();
  Notify({EMessage::Close, 0, 0, 0});
}

void CDialogWindow::reject() {
  if (m_attached) Notify({EMessage::Close, 0, 0, 0});
}

// Escape and Enter go to the dialog, whose default handling closes it on Escape and presses its
// default push button, if it has one, on Enter. A focused push button takes Enter itself.
void CDialogWindow::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const int key = event->key();
  if (!m_attached || !plain || (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter)) {
    m_attached ? event->ignore() : QDialog::keyPressEvent(event);
    return;
  }
  event->accept();
  Notify({EMessage::Key, key == Qt::Key_Escape ? VK_ESCAPE : VK_RETURN, 0, 0});
}

void CDialogWindow::contextMenuEvent(QContextMenuEvent* event) { ShowSystemMenu(event->globalPos()); }

void CDialogWindow::ShowSystemMenu(const QPoint& globalPos) {
  if (!m_attached || !m_dialog.HasSystemMenu()) return;
  QMenu menu(this);
  menu.addAction("&Close\tAlt+F4")->setData(SC_CLOSE);
  for (const CSysMenuItem& item : m_dialog.SysMenu()) {
    if (item.id == 0) menu.addSeparator();
    else menu.addAction(ToQt(item.text))->setData(item.id);
  }
  const QAction* chosen = nullptr;
  connect(&menu, &QMenu::triggered, &menu, [&chosen](QAction* action) { chosen = action; });
  if (const QAction* returned = menu.exec(globalPos)) chosen = returned;
  if (chosen && m_attached && !m_dialog.HasEnded()) Notify({EMessage::SysCommand, chosen->data().toInt(), 0, 0});
}

// --- lookups ---

QWidget* CDialogWindow::Widget(int controlId) const {
  if (!m_attached) return nullptr;  // the controls may be gone
  for (const auto& binding : m_bindings)
    if (binding->Control().Id() == controlId) return binding->Widget();
  return nullptr;
}

CControl* CDialogWindow::ControlOf(QWidget* widget) const {
  for (; widget && widget != this; widget = widget->parentWidget())
    if (auto found = m_controlOf.find(widget); found != m_controlOf.end()) return found->second;
  return nullptr;
}

void CDialogWindow::Notify(const CMessage& message) {
  if (m_attached && m_send) m_send(message);
}
