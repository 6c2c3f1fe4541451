// The line monitor: a window showing the last frame put on the line, whatever the tool, and the
// interface's state.
#pragma once
#include <QTimer>
#include <QWidget>

#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QScrollArea;
class CDmxLine;
class CSlotGrid;
struct CLineStatus;

// A window of its own, owned by no other, so it stays usable while a tool runs. Closing it only
// hides it. It reads the line while it is shown and changes only what changed. Its place and the
// number format are kept in the user's settings.
class CLineMonitor final : public QWidget {
 public:
  explicit CLineMonitor(const CDmxLine& line, QWidget* parent = nullptr);

  // Reads the line now (the window also does so by itself, at most 25 times a second).
  void Refresh();
  // Sizes the window to fit its screen, leaving room for a tool beside it where the screen has
  // it, and puts it where the user left it last time, if that is on a screen, else at the
  // screen's edge beside `anchor` (which moves aside rather than be covered, where both fit).
  void PlaceBeside(QWidget& anchor);

  const CSlotGrid& Grid() const { return *m_grid; }
  // The words that say what the line does: "sending", "stand-by" or "failed: REASON".
  static QString StateText(const CLineStatus& status);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowFrame(const CLineStatus& status);
  QSize PreferredSize() const;

  const CDmxLine& m_line;
  QLabel* m_output;
  QLabel* m_state;
  QLabel* m_startCode;
  QLabel* m_slotCount;
  QLabel* m_rate;
  QComboBox* m_format;
  QCheckBox* m_freeze;
  QScrollArea* m_scroller;
  CSlotGrid* m_grid;
  QTimer m_timer;
  std::uint64_t m_shownCount = UINT64_MAX;
};
