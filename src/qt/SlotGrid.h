// The levels of a frame's slots as a grid of numbered cells, as many to a row as the width allows.
#pragma once
#include <QWidget>

#include <cstdint>
#include <vector>

enum class ELevelFormat { Decimal, Percent, Hexadecimal };

// A level as a cell shows it: "255", "100" (percent of full) or "FF".
QString LevelText(std::uint8_t level, ELevelFormat format);

// Only the cells whose level changed are repainted, so a steady frame costs nothing to show.
class CSlotGrid final : public QWidget {
 public:
  static constexpr int kPreferredColumns = 20;
  static constexpr int kFewestColumns = 8;

  explicit CSlotGrid(QWidget* parent = nullptr);

  void SetLevels(const std::vector<std::uint8_t>& levels);
  const std::vector<std::uint8_t>& Levels() const { return m_levels; }
  void SetFormat(ELevelFormat format);
  ELevelFormat Format() const { return m_format; }
  int Columns() const { return m_columns; }
  // The area of the slot's cell (0-based), in the grid's pixels.
  QRect CellRect(int index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QSize CellSize() const;
  int HeaderWidth() const;
  int ColumnsFor(int width) const;
  int HeightFor(int columns) const;

  std::vector<std::uint8_t> m_levels;
  ELevelFormat m_format = ELevelFormat::Decimal;
  int m_columns = kPreferredColumns;
};
