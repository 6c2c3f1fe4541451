// The up-down control: a step on press, repeated while the arrow is held, the end on release.
#include "qt/UpDownWidget.h"

#include <QGuiApplication>
#include <QToolButton>

namespace {
constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 100;
}  // namespace

CUpDownWidget::CUpDownWidget(bool vertical, QWidget* parent)
    : QWidget(parent), m_vertical(vertical), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
  m_up->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
  m_down->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
  for (QToolButton* button : {m_up, m_down}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(false);
  }
  connect(m_up, &QToolButton::pressed, this, [this] { Press(+1); });
  connect(m_down, &QToolButton::pressed, this, [this] { Press(-1); });
  connect(m_up, &QToolButton::released, this, [this] { Release(); });
  connect(m_down, &QToolButton::released, this, [this] { Release(); });
  m_repeat.setSingleShot(false);
  connect(&m_repeat, &QTimer::timeout, this, [this] { Repeat(); });
}

void CUpDownWidget::SetHandlers(Step step, End end) {
  m_step = std::move(step);
  m_end = std::move(end);
}

void CUpDownWidget::resizeEvent(QResizeEvent*) {
  if (m_vertical) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
  } else {
    const int half = width() / 2;
    m_down->setGeometry(0, 0, half, height());
    m_up->setGeometry(half, 0, width() - half, height());
  }
}

void CUpDownWidget::Press(int direction) {
  m_direction = direction;
  m_repeat.start(kFirstRepeatMs);
  if (m_step) m_step(direction);
}

void CUpDownWidget::Repeat() {
  QToolButton* held = m_direction > 0 ? m_up : m_down;
  // A message box opened by a step swallows the button's release; stop once the mouse is up.
  if (m_direction == 0 || !held->isDown() || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) {
    Release();
    return;
  }
  m_repeat.setInterval(kRepeatMs);
  if (m_step) m_step(m_direction);
}

void CUpDownWidget::Release() {
  m_repeat.stop();
  if (m_direction == 0) return;
  m_direction = 0;
  if (m_end) m_end();
}
