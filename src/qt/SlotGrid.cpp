// The slot grid: cells of levels under a row of column numbers, each row headed by its slot range.
#include "qt/SlotGrid.h"

#include "link/LineConstants.h"

#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace {
constexpr int kMostColumns = 32;
}

QString LevelText(std::uint8_t level, ELevelFormat format) {
  switch (format) {
    case ELevelFormat::Decimal: return QString::number(level);
    case ELevelFormat::Percent: return QString::number((level * 100 + 127) / 255);
    case ELevelFormat::Hexadecimal: return QStringLiteral("%1").arg(level, 2, 16, QLatin1Char('0')).toUpper();
  }
  return {};
}

CSlotGrid::CSlotGrid(QWidget* parent) : QWidget(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
  // Cells are painted whole over the base colour; nothing under them needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CSlotGrid::SetLevels(const std::vector<std::uint8_t>& levels) {
  if (levels.size() != m_levels.size()) {
    m_levels = levels;
    update();
    return;
  }
  for (std::size_t i = 0; i < levels.size(); ++i) {
    if (levels[i] == m_levels[i]) continue;
    m_levels[i] = levels[i];
    // A cell's outline reaches one pixel into its right and lower neighbours.
    update(CellRect(static_cast<int>(i)).adjusted(0, 0, 1, 1));
  }
}

void CSlotGrid::SetFormat(ELevelFormat format) {
  if (format == m_format) return;
  m_format = format;
  update();
}

QSize CSlotGrid::CellSize() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(QStringLiteral("000")) + 10, metrics.height() + 6};
}

int CSlotGrid::HeaderWidth() const { return QFontMetrics(font()).horizontalAdvance(QStringLiteral("000-000")) + 10; }

QRect CSlotGrid::CellRect(int index) const {
  const QSize cell = CellSize();
  const int row = index / m_columns;
  const int column = index % m_columns;
  return {HeaderWidth() + column * cell.width(), (row + 1) * cell.height(), cell.width(), cell.height()};
}

int CSlotGrid::ColumnsFor(int width) const {
  return std::clamp((width - HeaderWidth() - 1) / CellSize().width(), kFewestColumns, kMostColumns);
}

// Room for the longest frame from the start, so the grid need not grow when such frames come.
int CSlotGrid::HeightFor(int columns) const {
  const int slots = std::max(static_cast<int>(m_levels.size()), kMaxSlots);
  const int rows = (slots + columns - 1) / columns;
  return (rows + 1) * CellSize().height() + 1;
}

QSize CSlotGrid::sizeHint() const {
  return {HeaderWidth() + kPreferredColumns * CellSize().width() + 1, HeightFor(kPreferredColumns)};
}

QSize CSlotGrid::minimumSizeHint() const {
  return {HeaderWidth() + kFewestColumns * CellSize().width() + 1, HeightFor(kFewestColumns)};
}

int CSlotGrid::heightForWidth(int width) const { return HeightFor(ColumnsFor(width)); }

void CSlotGrid::resizeEvent(QResizeEvent*) {
  const int columns = ColumnsFor(width());
  if (columns == m_columns) return;
  m_columns = columns;
  update();
}

void CSlotGrid::paintEvent(QPaintEvent* event) {
  const QRegion& dirty = event->region();
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().base());
  const QSize cell = CellSize();
  const int header = HeaderWidth();
  const QColor text = palette().text().color();
  const QColor grid = palette().mid().color();
  const QColor level(255, 170, 40);

  painter.setPen(text);
  for (int column = 0; column < m_columns; ++column) {
    const QRect box(header + column * cell.width(), 0, cell.width(), cell.height());
    if (dirty.intersects(box)) painter.drawText(box, Qt::AlignCenter, QString::number(column + 1));
  }
  const int count = static_cast<int>(m_levels.size());
  for (int first = 0; first < count; first += m_columns) {
    const QRect row(0, CellRect(first).y(), width(), cell.height() + 1);
    if (!dirty.intersects(row)) continue;
    const int last = std::min(count, first + m_columns);
    painter.setPen(text);
    painter.drawText(QRect(0, row.y(), header - 6, cell.height()), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1-%2").arg(first + 1).arg(last));
    for (int i = first; i < last; ++i) {
      const QRect box = CellRect(i);
      if (!dirty.intersects(box.adjusted(0, 0, 1, 1))) continue;
      const int value = m_levels[static_cast<std::size_t>(i)];
      // A bar from the bottom of the cell shows the level at a glance; the number reads exactly.
      const int barHeight = (box.height() - 2) * value / 255;
      painter.fillRect(QRect(box.x() + 1, box.bottom() - barHeight, box.width() - 1, barHeight), level);
      painter.setPen(grid);
      painter.drawRect(box);
      painter.setPen(text);
      painter.drawText(box, Qt::AlignCenter, LevelText(static_cast<std::uint8_t>(value), m_format));
    }
  }
}
