// The line monitor: a window showing the last frame put on the line, whatever the tool.
#pragma once
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;
class CDmxLine;

// The levels of a frame's slots as a grid of numbered cells, drawn in one paint.
class CSlotGrid final : public QWidget {
 public:
  explicit CSlotGrid(QWidget* parent = nullptr);
  void SetLevels(std::vector<std::uint8_t> levels);
  const std::vector<std::uint8_t>& Levels() const { return m_slots; }
  QSize sizeHint() const override;

  static constexpr int kColumns = 20;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSize CellSize() const;
  int HeaderWidth() const;

  std::vector<std::uint8_t> m_slots;
};

class CLineMonitor final : public QWidget {
 public:
  explicit CLineMonitor(const CDmxLine& line, QWidget* parent = nullptr);

  // Reads the line now (the window also does so by itself, at most 25 times a second).
  void Refresh();
  const CSlotGrid& Grid() const { return *m_grid; }

 private:
  const CDmxLine& m_line;
  QLabel* m_startCode;
  QLabel* m_slotCount;
  QLabel* m_rate;
  QLabel* m_state;
  QLabel* m_output;
  CSlotGrid* m_grid;
  QTimer m_timer;
  std::uint64_t m_shownCount = UINT64_MAX;
};
