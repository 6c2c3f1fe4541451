// Slider actions for the keys of scroll bars and trackbars.
#include "qt/SliderKeys.h"

QAbstractSlider::SliderAction SliderActionForKey(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return QAbstractSlider::SliderNoAction;
  switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down: return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp: return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown: return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home: return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End: return QAbstractSlider::SliderToMaximum;
    default: return QAbstractSlider::SliderNoAction;
  }
}

void TriggerKeyAction(QAbstractSlider& slider, QKeyEvent& event) {
  const QAbstractSlider::SliderAction action = SliderActionForKey(event);
  if (action == QAbstractSlider::SliderNoAction) {
    event.ignore();
    return;
  }
  slider.triggerAction(action);
  event.accept();
}
