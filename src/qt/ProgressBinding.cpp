// Progress bars.
#include "qt/ProgressBinding.h"

#include "qt/DialogWindow.h"

#include <QProgressBar>
#include <algorithm>

CProgressBinding::CProgressBinding(CControl& control, CDialogWindow& window)
    : CControlBinding(control, window), m_progress(new QProgressBar(&window)) {
  m_progress->setTextVisible(false);
  Adopt(m_progress);
}

void CProgressBinding::Show(EControlChange change) {
  if (change != EControlChange::Range && change != EControlChange::Pos) return;
  const int low = std::min(m_control.Min(), m_control.Max());
  // An empty range would make Qt's bar a busy indicator.
  const int high = std::max(std::max(m_control.Min(), m_control.Max()), low + 1);
  m_progress->setRange(low, high);
  m_progress->setValue(m_control.Pos());
}
