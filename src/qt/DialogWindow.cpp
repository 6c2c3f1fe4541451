// Building a dialog's widgets and mirroring the dialog and the widgets into each other.
#include "qt/DialogWindow.h"

#include "framework/Resources.h"
#include "framework/Text.h"
#include "qt/ProgramIcon.h"
#include "qt/ScrollBarWidget.h"
#include "qt/TrackbarWidget.h"
#include "qt/UpDownWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

class CDialogWindow::CApplying final {
 public:
  explicit CApplying(CDialogWindow& window) : m_window(window) { ++m_window.m_applying; }
  ~CApplying() { --m_window.m_applying; }
  CApplying(const CApplying&) = delete;
  CApplying& operator=(const CApplying&) = delete;

 private:
  CDialogWindow& m_window;
};

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(text); }

constexpr int kNarrowest = 85;  // font stretch, in percent

// The dialog fonts of Windows stand for the system's sans serif face, at the same point size.
// That face is wider than the one the layouts were drawn with (its average letter is about
// 6.8 pixels at 8 points against 6), so it is narrowed until its letters fit the base unit
// again; otherwise captions would run into the controls beside them.
QFont DialogFont(const CDialogTemplate& dialogTemplate, double scale) {
  static const char* const kShellFonts[] = {"MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif",
                                            "Tahoma", "System"};
  QString family = ToQt(dialogTemplate.font);
  for (const char* shell : kShellFonts)
    if (dialogTemplate.font == shell) family = "DejaVu Sans";
  const int pointSize = dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 8;
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(pointSize);
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

CDialogWindow::CDialogWindow(CDialog& dialog, Send send, QWidget* owner)
    : QDialog(owner, WindowFlags(dialog.Template())), m_dialog(dialog), m_send(std::move(send)),
      m_units(ScaleFor(owner)) {
  const CDialogTemplate& dialogTemplate = dialog.Template();
  setWindowModality(Qt::ApplicationModal);
  setFont(DialogFont(dialogTemplate, m_units.Scale()));
  setWindowTitle(ToQt(dialog.Title()));
  setFixedSize(m_units.Size(dialogTemplate.cx, dialogTemplate.cy));

  for (const auto& control : dialog.Controls()) {
    QWidget* widget = CreateWidget(*control);
    m_items.push_back({control.get(), widget});
    m_controlOf[widget] = control.get();
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
    MirrorAll(*control);
  }
  // Group boxes are frames behind the controls they hold, never in the way of a click.
  for (const CItem& item : m_items)
    if (item.control->Kind() == EControlKind::GroupBox) item.widget->lower();

  for (const CItem& item : m_items)
    item.control->SetObserver([this](const CControl& control, EControlChange change) { Mirror(control, change); });
  dialog.SetObserver([this](EDialogChange change) { OnDialogChanged(change); });
  OnDialogChanged(EDialogChange::Icon);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) { OnFocusChanged(old, now); });
  // Alt+Space opens the system menu, as it does on Windows.
  auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(menuKey, &QShortcut::activated, this, [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
}

CDialogWindow::~CDialogWindow() { Detach(); }

void CDialogWindow::Detach() {
  if (!m_attached) return;
  m_attached = false;
  m_pendingKillFocus.clear();
  for (const CItem& item : m_items) item.control->SetObserver({});
  m_dialog.SetObserver({});
}

// --- widgets ---

QWidget* CDialogWindow::CreateWidget(CControl& control) {
  QRect rect = m_units.Rect(control.Rect());
  const unsigned style = control.Style();
  QWidget* widget = nullptr;
  switch (control.Kind()) {
    case EControlKind::PushButton:
    case EControlKind::DefPushButton: {
      auto* button = new QPushButton(this);
      button->setAutoDefault(true);
      button->setDefault(control.Kind() == EControlKind::DefPushButton);
      connect(button, &QPushButton::clicked, this, [this, &control] { OnButtonClicked(control); });
      widget = button;
      break;
    }
    case EControlKind::Edit: {
      auto* edit = new QLineEdit(this);
      const bool readOnly = control.HasStyle(ControlStyle::kReadOnly);
      edit->setReadOnly(readOnly);
      edit->setFrame(control.HasStyle(ControlStyle::kBorder));
      edit->setAlignment((control.HasStyle(ControlStyle::kCentre) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
      if (control.HasStyle(ControlStyle::kDigitsOnly))
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
      if (readOnly) {
        // A read-only field has the dialog's face, as on Windows.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
      }
      edit->setTextMargins(0, 0, 0, 0);
      connect(edit, &QLineEdit::textEdited, this, [this, &control](const QString& text) { OnEdited(control, text); });
      widget = edit;
      break;
    }
    case EControlKind::Static: {
      auto* label = new QLabel(this);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment((control.HasStyle(ControlStyle::kCentre) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
      widget = label;
      break;
    }
    case EControlKind::GroupBox: {
      auto* box = new QGroupBox(this);
      box->setAttribute(Qt::WA_TransparentForMouseEvents);
      widget = box;
      break;
    }
    case EControlKind::ScrollBar: {
      auto* bar = new CScrollBarWidget(
          control.HasStyle(ControlStyle::kVertical) ? Qt::Vertical : Qt::Horizontal, this);
      bar->SetNotify([this, &control](int code, int pos) { OnScroll(control, code, pos); });
      widget = bar;
      break;
    }
    case EControlKind::Trackbar: {
      auto* trackbar = new CTrackbarWidget(style, this);
      trackbar->SetNotify([this, &control](int code, int pos) { OnTrackbar(control, code, pos); });
      widget = trackbar;
      break;
    }
    case EControlKind::UpDown: {
      auto* upDown = new CUpDownWidget(control.HasStyle(ControlStyle::kVertical), this);
      upDown->SetHandlers([this, &control](int direction) { OnUpDownStep(control, direction); },
                          [this, &control] { OnUpDownEnd(control); });
      widget = upDown;
      break;
    }
    case EControlKind::Progress: {
      auto* progress = new QProgressBar(this);
      progress->setTextVisible(false);
      widget = progress;
      break;
    }
    case EControlKind::ComboBox: {
      auto* combo = new QComboBox(this);
      combo->setEditable(false);
      connect(combo, &QComboBox::activated, this, [this, &control](int index) { OnComboChosen(control, index); });
      // The template's height includes the dropped-down list; the box itself is one line.
      rect.setHeight(combo->sizeHint().height());
      widget = combo;
      break;
    }
    case EControlKind::Bitmap:
    case EControlKind::Icon: {
      // A picture control takes the size of its picture.
      auto* picture = new QLabel(this);
      const QPixmap pixmap = ResourcePixmap(control);
      picture->setPixmap(pixmap);
      if (!pixmap.isNull()) rect.setSize(pixmap.deviceIndependentSize().toSize());
      widget = picture;
      break;
    }
  }
  widget->setGeometry(rect);
  widget->setFocusPolicy(control.TakesFocus() ? Qt::StrongFocus : Qt::NoFocus);
  return widget;
}

QPixmap CDialogWindow::ResourcePixmap(const CControl& control) const {
  if (control.Kind() == EControlKind::Icon) return QPixmap::fromImage(CProgramIcon::Draw(m_units.Pixels(32)));
  if (static_cast<int>(LeadingNumber(control.Text())) != kPanelBanner) return {};
  QImage banner(":/res/banner-142.png");
  const QSize size(m_units.Pixels(banner.width()), m_units.Pixels(banner.height()));
  if (!banner.isNull() && size != banner.size())
    banner = banner.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return QPixmap::fromImage(banner);
}

// A one-line text shows itself whole rather than be cut off (the system's sans face is wider than
// the font the layouts were made for): first in a slightly narrower cut of the font, which keeps
// it inside its box and clear of the control beside it, and only then by growing; texts of
// several lines wrap in their box.
void CDialogWindow::FitLabel(QWidget* widget, const CControl& control) {
  auto* label = static_cast<QLabel*>(widget);
  QRect rect = m_units.Rect(control.Rect());
  QFont font = this->font();
  const bool oneLine = rect.height() < 2 * QFontMetrics(font).lineSpacing() && !label->text().contains('\n');
  label->setWordWrap(!oneLine);
  if (oneLine) {
    const auto needed = [&] { return QFontMetrics(font).horizontalAdvance(label->text()) + 1; };
    for (int stretch = 95; needed() > rect.width() && stretch >= 75; stretch -= 5) font.setStretch(stretch);
    if (needed() > rect.width()) font.setStretch(QFont::Unstretched);  // too long for a narrower cut to help
    label->setFont(font);
    const int width = needed();
    if (width > rect.width()) {
      if (control.HasStyle(ControlStyle::kCentre)) rect.moveLeft(rect.left() - (width - rect.width()) / 2);
      rect.setWidth(width);
    }
    rect.setHeight(std::max(rect.height(), QFontMetrics(font).height()));
  }
  label->setGeometry(rect);
}

// A field's text too wide for its box (three digits in a narrow value box, in the system's sans
// face, which is wider than the font the layouts were made for) uses the margins Qt keeps inside
// the frame and a narrower cut of the font, rather than be cut off. The narrowest setting a field
// ever needed stays, so a column of such fields keeps one look while its numbers change.
void CDialogWindow::FitField(QWidget* widget) {
  auto* edit = static_cast<QLineEdit*>(widget);
  constexpr int kQtMargin = 2;  // Qt's own space between a field's frame and its text, each side
  const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
  const int inside = edit->width() - 2 * frame;
  QFont font = edit->font();
  const auto needed = [&] { return QFontMetrics(font).horizontalAdvance(edit->text()) + 1; };
  const bool fitted = edit->textMargins().left() < 0;
  if (!fitted && needed() <= inside - 2 * kQtMargin) return;
  if (!fitted) edit->setTextMargins(-kQtMargin, 0, -kQtMargin, 0);
  int stretch = font.stretch() > 0 ? font.stretch() : 100;
  while (needed() > inside && stretch > 70) {
    stretch -= 5;
    font.setStretch(stretch);
  }
  edit->setFont(font);
}

// --- dialog to widgets ---

void CDialogWindow::MirrorAll(const CControl& control) {
  for (EControlChange change : {EControlChange::Text, EControlChange::Visible, EControlChange::Enabled,
                                EControlChange::Range, EControlChange::Items})
    Mirror(control, change);
}

void CDialogWindow::Mirror(const CControl& control, EControlChange change) {
  QWidget* widget = WidgetOf(control);
  if (!widget) return;
  CApplying applying(*this);
  const QString text = ToQt(control.Text());
  switch (change) {
    case EControlChange::Visible:
      widget->setVisible(control.IsVisible());
      return;
    case EControlChange::Enabled:
      widget->setEnabled(control.IsEnabled());
      return;
    default:
      break;
  }
  switch (control.Kind()) {
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
      if (change == EControlChange::Text) static_cast<QPushButton*>(widget)->setText(text);
      break;
    case EControlKind::Edit:
      // Only a different text is set, so the user's own typing is never echoed back.
      if (change == EControlChange::Text) {
        auto* edit = static_cast<QLineEdit*>(widget);
        if (edit->text() != text) edit->setText(text);
        FitField(edit);
      }
      break;
    case EControlKind::Static:
      if (change == EControlChange::Text) {
        static_cast<QLabel*>(widget)->setText(text);
        FitLabel(widget, control);
      }
      break;
    case EControlKind::GroupBox:
      if (change == EControlChange::Text) static_cast<QGroupBox*>(widget)->setTitle(text);
      break;
    case EControlKind::ScrollBar:
      if (change == EControlChange::Range || change == EControlChange::PageSize || change == EControlChange::Pos) {
        auto* bar = static_cast<CScrollBarWidget*>(widget);
        bar->SetControlRange(control.Min(), control.Max(), control.PageSize());
        bar->ShowPos(control.Pos());
      }
      break;
    case EControlKind::Trackbar:
      if (change == EControlChange::Range || change == EControlChange::PageSize || change == EControlChange::Pos) {
        auto* trackbar = static_cast<CTrackbarWidget*>(widget);
        trackbar->SetControlRange(control.Min(), control.Max(), control.PageSize());
        trackbar->ShowPos(control.Pos());
      }
      break;
    case EControlKind::Progress:
      if (change == EControlChange::Range || change == EControlChange::Pos) {
        auto* progress = static_cast<QProgressBar*>(widget);
        const int low = std::min(control.Min(), control.Max());
        // An empty range would make Qt's bar a busy indicator.
        const int high = std::max(std::max(control.Min(), control.Max()), low + 1);
        progress->setRange(low, high);
        progress->setValue(control.Pos());
      }
      break;
    case EControlKind::ComboBox: {
      auto* combo = static_cast<QComboBox*>(widget);
      const QSignalBlocker blocker(combo);
      if (change == EControlChange::Items) {
        combo->clear();
        for (const std::string& item : control.Items()) combo->addItem(ToQt(item));
      }
      if (change == EControlChange::Items || change == EControlChange::Selection)
        combo->setCurrentIndex(control.Selection());
      break;
    }
    case EControlKind::UpDown:
    case EControlKind::Bitmap:
    case EControlKind::Icon:
      break;
  }
}

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
  if (m_dialog.Template().style & DialogStyle::kCentreMouse) move(QCursor::pos() - QPoint(width() / 2, height() / 2));
  show();
  raise();
  activateWindow();
}

// --- widgets to dialog ---

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

void CDialogWindow::OnButtonClicked(CControl& control) {
  if (!m_attached || !SettleFocusFor(control)) return;
  Notify({EMessage::Command, control.Id(), BN_CLICKED, 0});
}

void CDialogWindow::OnEdited(CControl& control, const QString& text) {
  if (!m_attached) return;
  control.SetText(text.toStdString());
  Notify({EMessage::Command, control.Id(), EN_CHANGE, 0});
}

void CDialogWindow::OnScroll(CControl& control, int code, int pos) {
  if (!m_attached) return;
  Notify({ScrollMessageOf(control), control.Id(), code, pos});
}

void CDialogWindow::OnTrackbar(CControl& control, int code, int pos) {
  if (!m_attached) return;
  {
    CApplying applying(*this);
    control.SetPos(pos);
  }
  Notify({ScrollMessageOf(control), control.Id(), code, control.Pos()});
}

// The up arrow moves toward the range's upper limit, which may be the smaller number.
void CDialogWindow::OnUpDownStep(CControl& control, int direction) {
  if (!m_attached) return;
  control.SetPos(control.Pos() + (control.Max() >= control.Min() ? direction : -direction));
  Notify({ScrollMessageOf(control), control.Id(), SB_THUMBPOSITION, control.Pos()});
}

void CDialogWindow::OnUpDownEnd(CControl& control) {
  if (!m_attached) return;
  Notify({ScrollMessageOf(control), control.Id(), SB_ENDSCROLL, control.Pos()});
}

void CDialogWindow::OnComboChosen(CControl& control, int index) {
  if (!m_attached) return;
  if (!SettleFocusFor(control)) {
    if (m_attached) Mirror(control, EControlChange::Selection);
    return;
  }
  {
    CApplying applying(*this);
    control.SetSelection(index);
  }
  Notify({EMessage::Command, control.Id(), CBN_SELCHANGE, 0});
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

void CDialogWindow::keyPressEvent(QKeyEvent* event) {
  if (!m_attached) {
    QDialog::keyPressEvent(event);
    return;
  }
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && event->key() == Qt::Key_Escape) {
    event->accept();
    Notify({EMessage::Close, 0, 0, 0});
    return;
  }
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    // A focused push button takes Enter itself; anywhere else it goes to the default button.
    event->accept();
    PressDefaultButton();
    return;
  }
  event->ignore();
}

// Enter outside a push button: the default push button, or IDOK when there is none, even if the
// dialog has no such control; a disabled default button ignores it.
void CDialogWindow::PressDefaultButton() {
  int id = IDOK;
  for (const CItem& item : m_items) {
    if (item.control->Kind() == EControlKind::DefPushButton) {
      id = item.control->Id();
      break;
    }
  }
  if (const CControl* target = m_dialog.FindItem(id); target && !target->IsEnabled()) return;
  Notify({EMessage::Command, id, BN_CLICKED, 0});
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
  for (const CItem& item : m_items)
    if (item.control->Id() == controlId) return item.widget;
  return nullptr;
}

QWidget* CDialogWindow::WidgetOf(const CControl& control) const {
  for (const CItem& item : m_items)
    if (item.control == &control) return item.widget;
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
