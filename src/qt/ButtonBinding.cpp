// Push buttons.
#include "qt/ButtonBinding.h"

#include "qt/DialogWindow.h"

#include <QPushButton>

CButtonBinding::CButtonBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_button(new QPushButton(&window)) {
  m_button->setAutoDefault(true);
  m_button->setDefault(control.Kind() == EControlKind::DefPushButton);
  QObject::connect(m_button, &QPushButton::clicked, m_button, [this] { OnClicked(); });
  Adopt(m_button);
}

void CButtonBinding::Show(EControlChange change) {
  if (change == EControlChange::Text) m_button->setText(QString::fromStdString(m_control.Text()));
}

// A field that had the focus is checked first; if it takes the focus back, the press is lost.
void CButtonBinding::OnClicked() {
  if (Live() && m_window.SettleFocusFor(m_control)) Command(BN_CLICKED);
}
