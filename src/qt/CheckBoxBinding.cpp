// Check boxes.
#include "qt/CheckBoxBinding.h"

#include "qt/DialogWindow.h"

#include <QCheckBox>

CCheckBoxBinding::CCheckBoxBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_box(new QCheckBox(&window)) {
  QObject::connect(m_box, &QCheckBox::clicked, m_box, [this] { OnClicked(); });
  Adopt(m_box);
}

void CCheckBoxBinding::Show(EControlChange change) {
  if (change == EControlChange::Text) m_box->setText(QString::fromStdString(m_control.Text()));
  if (change == EControlChange::Check || change == EControlChange::Text) m_box->setChecked(m_control.IsChecked());
}

// A field that had the focus is checked first; if it takes the focus back, the click is lost and
// the box shows the tick it had.
void CCheckBoxBinding::OnClicked() {
  if (!Live()) return;
  if (!m_window.SettleFocusFor(m_control)) {
    if (Live()) Mirror(EControlChange::Check);
    return;
  }
  m_control.SetChecked(m_box->isChecked());
  Command(BN_CLICKED);
}
