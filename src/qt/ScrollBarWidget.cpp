// Scroll bar actions mapped onto notification codes; the slider is always put back to the
// dialog's position before the dialog hears of the action.
#include "qt/ScrollBarWidget.h"

#include "framework/Messages.h"
#include "qt/SliderKeys.h"

#include <QKeyEvent>
#include <algorithm>

CScrollBarWidget::CScrollBarWidget(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
  setSingleStep(1);
  setTracking(true);
  // Qt's own menu (Scroll here, Top, ...) would set the value behind the dialog's back.
  setContextMenuPolicy(Qt::PreventContextMenu);
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
  connect(this, &QAbstractSlider::sliderPressed, this, [this] { OnThumbPressed(); });
}

void CScrollBarWidget::SetControlRange(int min, int max, int pageSize) {
  const int low = std::min(min, max);
  const int high = std::max(min, max);
  setRange(low, std::max(low, high - std::max(pageSize - 1, 0)));
  setPageStep(std::max(pageSize, 0));
  setValue(m_shownPos);
}

void CScrollBarWidget::ShowPos(int pos) {
  m_shownPos = pos;
  setValue(pos);
}

void CScrollBarWidget::Send(int code, int pos) {
  if (m_notify) m_notify(code, pos);
}

void CScrollBarWidget::OnAction(int action) {
  const int proposed = sliderPosition();
  // The dialog decides where the bar goes: undo Qt's move before telling it.
  setSliderPosition(m_shownPos);
  int code = -1;
  int pos = m_shownPos;
  bool wheel = false;
  switch (action) {
    case SliderSingleStepSub: code = SB_LINELEFT; break;
    case SliderSingleStepAdd: code = SB_LINERIGHT; break;
    case SliderPageStepSub: code = SB_PAGELEFT; break;
    case SliderPageStepAdd: code = SB_PAGERIGHT; break;
    case SliderToMinimum: code = SB_LEFT; break;
    case SliderToMaximum: code = SB_RIGHT; break;
    case SliderMove:
      if (isSliderDown()) {
        code = SB_THUMBTRACK;
        pos = m_trackPos = proposed;
      } else {
        // The mouse wheel: one line per step toward where Qt would have gone.
        if (proposed == m_shownPos) return;
        code = proposed > m_shownPos ? SB_LINERIGHT : SB_LINELEFT;
        wheel = true;
      }
      break;
    default:
      return;
  }
  m_actionPending = true;
  Send(code, pos);
  if (wheel) EndAction();
}

void CScrollBarWidget::OnThumbPressed() {
  m_trackPos = m_shownPos;
  m_actionPending = true;
}

void CScrollBarWidget::EndAction() {
  if (!m_actionPending) return;
  m_actionPending = false;
  Send(SB_ENDSCROLL, m_shownPos);
}

void CScrollBarWidget::mouseReleaseEvent(QMouseEvent* event) {
  const bool dragging = isSliderDown();
  QScrollBar::mouseReleaseEvent(event);
  if (dragging) Send(SB_THUMBPOSITION, m_trackPos);
  EndAction();
}

void CScrollBarWidget::keyPressEvent(QKeyEvent* event) { TriggerKeyAction(*this, *event); }

void CScrollBarWidget::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) EndAction();
  QScrollBar::keyReleaseEvent(event);
}
