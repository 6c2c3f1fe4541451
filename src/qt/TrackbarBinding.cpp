// Trackbars.
#include "qt/TrackbarBinding.h"

#include "qt/DialogWindow.h"
#include "qt/TrackbarWidget.h"

CTrackbarBinding::CTrackbarBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_trackbar(new CTrackbarWidget(control.Style(), &window)) {
  m_trackbar->SetNotify([this](int code, int pos) {
    if (!Live()) return;
    m_control.SetPos(pos);
    Scroll(code, m_control.Pos());
  });
  Adopt(m_trackbar);
}

void CTrackbarBinding::Show(EControlChange change) {
  if (change != EControlChange::Range && change != EControlChange::PageSize && change != EControlChange::Pos) return;
  m_trackbar->SetControlRange(m_control.Min(), m_control.Max(), m_control.PageSize());
  m_trackbar->ShowPos(m_control.Pos());
}
