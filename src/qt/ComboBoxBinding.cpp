// Combo boxes.
#include "qt/ComboBoxBinding.h"

#include "qt/DialogWindow.h"

#include <QComboBox>
#include <QSignalBlocker>

CComboBoxBinding::CComboBoxBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_combo(new QComboBox(&window)) {
  m_combo->setEditable(false);
  QObject::connect(m_combo, &QComboBox::activated, m_combo, [this](int index) { OnChosen(index); });
  // The template's height includes the dropped-down list; the box itself is one line.
  QRect rect = Rect();
  rect.setHeight(m_combo->sizeHint().height());
  Adopt(m_combo, rect);
}

void CComboBoxBinding::Show(EControlChange change) {
  const QSignalBlocker blocker(m_combo);
  if (change == EControlChange::Items) {
    m_combo->clear();
    for (const std::string& item : m_control.Items()) m_combo->addItem(QString::fromStdString(item));
  }
  if (change == EControlChange::Items || change == EControlChange::Selection)
    m_combo->setCurrentIndex(m_control.Selection());
}

// A field that had the focus is checked first; if it takes the focus back, the choice is lost
// and the box shows the selection it had.
void CComboBoxBinding::OnChosen(int index) {
  if (!Live()) return;
  if (!m_window.SettleFocusFor(m_control)) {
    if (Live()) Mirror(EControlChange::Selection);
    return;
  }
  m_control.SetSelection(index);
  Command(CBN_SELCHANGE);
}
