// Static texts.
#include "qt/StaticBinding.h"

#include "qt/DialogWindow.h"

#include <QLabel>
#include <algorithm>

CStaticBinding::CStaticBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_label(new QLabel(&window)) {
  m_label->setTextFormat(Qt::PlainText);
  m_label->setAlignment((control.HasStyle(ControlStyle::kCentre) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  Adopt(m_label);
}

void CStaticBinding::Show(EControlChange change) {
  if (change != EControlChange::Text) return;
  m_label->setText(QString::fromStdString(m_control.Text()));
  FitText();
}

// A one-line text shows itself whole rather than be cut off (the system's sans face is wider than
// the font the layouts were made for): first in a slightly narrower cut of the font, which keeps
// it inside its box and clear of the control beside it, and only then by growing; texts of
// several lines wrap in their box.
void CStaticBinding::FitText() {
  QRect rect = Rect();
  QFont font = m_window.font();
  const bool oneLine = rect.height() < 2 * QFontMetrics(font).lineSpacing() && !m_label->text().contains('\n');
  m_label->setWordWrap(!oneLine);
  if (oneLine) {
    const auto needed = [&] { return QFontMetrics(font).horizontalAdvance(m_label->text()) + 1; };
    for (int stretch = 95; needed() > rect.width() && stretch >= 75; stretch -= 5) font.setStretch(stretch);
    if (needed() > rect.width()) font.setStretch(QFont::Unstretched);  // too long for a narrower cut to help
    m_label->setFont(font);
    const int width = needed();
    if (width > rect.width()) {
      if (m_control.HasStyle(ControlStyle::kCentre)) rect.moveLeft(rect.left() - (width - rect.width()) / 2);
      rect.setWidth(width);
    }
    rect.setHeight(std::max(rect.height(), QFontMetrics(font).height()));
  }
  m_label->setGeometry(rect);
}
