// Edit fields.
#include "qt/EditBinding.h"

#include "qt/DialogWindow.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyle>

CEditBinding::CEditBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_edit(new QLineEdit(&window)) {
  const bool readOnly = control.HasStyle(ControlStyle::kReadOnly);
  m_edit->setReadOnly(readOnly);
  m_edit->setFrame(control.HasStyle(ControlStyle::kBorder));
  m_edit->setAlignment((control.HasStyle(ControlStyle::kCentre) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
  if (control.HasStyle(ControlStyle::kDigitsOnly))
    m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_edit));
  if (readOnly) {
    // A read-only field has the dialog's face, as on Windows.
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_edit->setPalette(palette);
  }
  m_edit->setTextMargins(0, 0, 0, 0);
  QObject::connect(m_edit, &QLineEdit::textEdited, m_edit, [this](const QString& text) { OnEdited(text); });
  Adopt(m_edit);
}

// Only a different text is set, so the user's own typing is never echoed back.
void CEditBinding::Show(EControlChange change) {
  if (change != EControlChange::Text) return;
  const QString text = QString::fromStdString(m_control.Text());
  if (m_edit->text() != text) m_edit->setText(text);
  FitText();
}

void CEditBinding::OnEdited(const QString& text) {
  if (!Live()) return;
  m_control.SetText(text.toStdString());
  Command(EN_CHANGE);
}

// A text too wide for its box (three digits in a narrow value box, in the system's sans face,
// which is wider than the font the layouts were made for) uses the margins Qt keeps inside the
// frame and a narrower cut of the font, rather than be cut off. The narrowest setting a field
// ever needed stays, so a column of such fields keeps one look while its numbers change.
void CEditBinding::FitText() {
  constexpr int kQtMargin = 2;  // Qt's own space between a field's frame and its text, each side
  const int frame = m_edit->hasFrame() ? m_edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_edit) : 0;
  const int inside = m_edit->width() - 2 * frame;
  QFont font = m_edit->font();
  const auto needed = [&] { return QFontMetrics(font).horizontalAdvance(m_edit->text()) + 1; };
  const bool fitted = m_edit->textMargins().left() < 0;
  if (!fitted && needed() <= inside - 2 * kQtMargin) return;
  if (!fitted) m_edit->setTextMargins(-kQtMargin, 0, -kQtMargin, 0);
  int stretch = font.stretch() > 0 ? font.stretch() : 100;
  while (needed() > inside && stretch > 70) {
    stretch -= 5;
    font.setStretch(stretch);
  }
  m_edit->setFont(font);
}
