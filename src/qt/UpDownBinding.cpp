// Up-down controls.
#include "qt/UpDownBinding.h"

#include "qt/DialogWindow.h"
#include "qt/UpDownWidget.h"

CUpDownBinding::CUpDownBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window),
      m_upDown(new CUpDownWidget(control.HasStyle(ControlStyle::kVertical), &window)) {
  m_upDown->SetHandlers([this](int direction) { OnStep(direction); },
                        [this] {
                          if (Live()) Scroll(SB_ENDSCROLL, m_control.Pos());
                        });
  Adopt(m_upDown);
}

// The up arrow moves toward the range's upper limit, which may be the smaller number.
void CUpDownBinding::OnStep(int direction) {
  if (!Live()) return;
  m_control.SetPos(m_control.Pos() + (m_control.Max() >= m_control.Min() ? direction : -direction));
  Scroll(SB_THUMBPOSITION, m_control.Pos());
}
