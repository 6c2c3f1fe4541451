// Group boxes.
#include "qt/GroupBoxBinding.h"

#include "qt/DialogWindow.h"

#include <QGroupBox>

CGroupBoxBinding::CGroupBoxBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_box(new QGroupBox(&window)) {
  m_box->setAttribute(Qt::WA_TransparentForMouseEvents);
  // Below every widget made so far; those made later stand above it anyway.
  m_box->lower();
  Adopt(m_box);
}

void CGroupBoxBinding::Show(EControlChange change) {
  if (change == EControlChange::Text) m_box->setTitle(QString::fromStdString(m_control.Text()));
}
