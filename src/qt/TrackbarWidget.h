// A trackbar: it moves itself, as the real control does, then tells the dialog with a TB_ code.
// A vertical trackbar has its minimum at the top.
#pragma once
#include <QSlider>
#include <functional>

class CTrackbarWidget final : public QSlider {
 public:
  // code: a TB_ code; pos: the position the trackbar now stands at.
  using Notify = std::function<void(int code, int pos)>;

  // style: the control's style flags (vertical, no ticks, pointers on both sides).
  CTrackbarWidget(unsigned style, QWidget* parent);

  void SetNotify(Notify notify) { m_notify = std::move(notify); }
  // The control's range and page size (0: a fifth of the range, the control's default).
  void SetControlRange(int min, int max, int pageSize);
  void ShowPos(int pos) { setValue(pos); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void OnAction(int action);
  void Send(int code);
  void EndAction();

  Notify m_notify;
  bool m_actionPending = false;  // an action awaits its TB_ENDTRACK
};
