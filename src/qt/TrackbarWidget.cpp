// Trackbar actions mapped onto notification codes.
#include "qt/TrackbarWidget.h"

#include "framework/Control.h"
#include "framework/Messages.h"
#include "qt/SliderKeys.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>

CTrackbarWidget::CTrackbarWidget(unsigned style, QWidget* parent)
    : QSlider((style & ControlStyle::kVertical) ? Qt::Vertical : Qt::Horizontal, parent) {
  if (orientation() == Qt::Vertical) {
    // Minimum at the top, and the keys and wheel follow the picture.
    setInvertedAppearance(true);
    setInvertedControls(true);
  }
  if (style & ControlStyle::kNoTicks) setTickPosition(NoTicks);
  else if (style & ControlStyle::kBothPointers) setTickPosition(TicksBothSides);
  else setTickPosition(orientation() == Qt::Vertical ? TicksRight : TicksBelow);
  setSingleStep(1);
  setTracking(true);
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
  connect(this, &QAbstractSlider::sliderPressed, this, [this] { m_actionPending = true; });
}

void CTrackbarWidget::SetControlRange(int min, int max, int pageSize) {
  const int low = std::min(min, max);
  const int high = std::max(min, max);
  setRange(low, high);
  setPageStep(pageSize > 0 ? pageSize : std::max(1, (high - low) / 5));
}

void CTrackbarWidget::Send(int code) {
  if (m_notify) m_notify(code, sliderPosition());
}

void CTrackbarWidget::OnAction(int action) {
  int code = -1;
  bool wheel = false;
  switch (action) {
    case SliderSingleStepSub: code = TB_LINEUP; break;
    case SliderSingleStepAdd: code = TB_LINEDOWN; break;
    case SliderPageStepSub: code = TB_PAGEUP; break;
    case SliderPageStepAdd: code = TB_PAGEDOWN; break;
    case SliderToMinimum: code = TB_TOP; break;
    case SliderToMaximum: code = TB_BOTTOM; break;
    case SliderMove:
      if (isSliderDown()) {
        code = TB_THUMBTRACK;
      } else {
        // The mouse wheel: a line toward where it moved.
        if (sliderPosition() == value()) return;
        code = sliderPosition() > value() ? TB_LINEDOWN : TB_LINEUP;
        wheel = true;
      }
      break;
    default:
      return;
  }
  m_actionPending = true;
  Send(code);
  if (wheel) EndAction();
}

void CTrackbarWidget::EndAction() {
  if (!m_actionPending) return;
  m_actionPending = false;
  Send(TB_ENDTRACK);
}

void CTrackbarWidget::mouseReleaseEvent(QMouseEvent* event) {
  const bool dragging = isSliderDown();
  QSlider::mouseReleaseEvent(event);
  if (dragging) Send(TB_THUMBPOSITION);
  EndAction();
}

void CTrackbarWidget::keyPressEvent(QKeyEvent* event) { TriggerKeyAction(*this, *event); }

void CTrackbarWidget::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) EndAction();
  QSlider::keyReleaseEvent(event);
}

// A vertical trackbar is a fader: its minimum is at the top, but the style would then fill the
// groove from the top down to the handle, so a fader at the bottom (level 0) would look full. It
// is drawn as the mirror image of itself, measured from the bottom: the handle stands where it
// is, and the fill rises from the bottom to the handle, as a level does.
void CTrackbarWidget::paintEvent(QPaintEvent* event) {
  if (orientation() != Qt::Vertical) {
    QSlider::paintEvent(event);
    return;
  }
  QPainter painter(this);
  QStyleOptionSlider option;
  initStyleOption(&option);
  option.upsideDown = !option.upsideDown;
  option.sliderPosition = option.minimum + option.maximum - option.sliderPosition;
  option.sliderValue = option.minimum + option.maximum - option.sliderValue;
  option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
  if (tickPosition() != NoTicks) option.subControls |= QStyle::SC_SliderTickmarks;
  style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}
