// A scroll bar whose position only the dialog sets: every user action becomes a notification
// code (SB_LINELEFT ... SB_ENDSCROLL) and the bar shows whatever position the dialog then sets.
#pragma once
#include <QScrollBar>
#include <functional>

class CScrollBarWidget final : public QScrollBar {
 public:
  // code: an SB_ code; pos: the dragged position for thumb codes, else the shown position.
  using Notify = std::function<void(int code, int pos)>;

  CScrollBarWidget(Qt::Orientation orientation, QWidget* parent);

  void SetNotify(Notify notify) { m_notify = std::move(notify); }
  // The control's range; a page size above 1 shortens the reachable range, as on Windows.
  void SetControlRange(int min, int max, int pageSize);
  // Shows the dialog's position, also in the middle of a drag.
  void ShowPos(int pos);
  int ShownPos() const { return m_shownPos; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void OnAction(int action);
  void OnThumbPressed();
  void Send(int code, int pos);
  // Sends SB_ENDSCROLL once for the action under way.
  void EndAction();

  Notify m_notify;
  int m_shownPos = 0;
  int m_trackPos = 0;           // where the user has dragged the thumb
  bool m_actionPending = false;  // an action awaits its SB_ENDSCROLL
};
