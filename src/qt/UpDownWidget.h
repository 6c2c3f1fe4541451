// An up-down control without a buddy: two arrow buttons that step a position while held.
#pragma once
#include <QTimer>
#include <QWidget>
#include <functional>

class QToolButton;

class CUpDownWidget final : public QWidget {
 public:
  // direction +1: the up (or right) arrow, -1: the down (or left) arrow.
  using Step = std::function<void(int direction)>;
  using End = std::function<void()>;

  CUpDownWidget(bool vertical, QWidget* parent);

  void SetHandlers(Step step, End end);
  QToolButton* UpButton() const { return m_up; }
  QToolButton* DownButton() const { return m_down; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Press(int direction);
  void Repeat();
  void Release();

  bool m_vertical;
  QToolButton* m_up;
  QToolButton* m_down;
  QTimer m_repeat;
  int m_direction = 0;  // the arrow held, 0 for none
  Step m_step;
  End m_end;
};
