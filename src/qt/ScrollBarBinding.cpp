// Scroll bars.
#include "qt/ScrollBarBinding.h"

#include "qt/DialogWindow.h"
#include "qt/ScrollBarWidget.h"

CScrollBarBinding::CScrollBarBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window),
      m_bar(new CScrollBarWidget(control.HasStyle(ControlStyle::kVertical) ? Qt::Vertical : Qt::Horizontal, &window)) {
  m_bar->SetNotify([this](int code, int pos) {
    if (Live()) Scroll(code, pos);
  });
  Adopt(m_bar);
}

void CScrollBarBinding::Show(EControlChange change) {
  if (change != EControlChange::Range && change != EControlChange::PageSize && change != EControlChange::Pos) return;
  m_bar->SetControlRange(m_control.Min(), m_control.Max(), m_control.PageSize());
  m_bar->ShowPos(m_control.Pos());
}
