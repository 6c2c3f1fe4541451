// The line monitor window: start code, slot count, frame rate, stand-by and every slot's level.
#include "qt/LineMonitor.h"

#include "link/DmxFrame.h"
#include "link/DmxLine.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int kRefreshMs = 40;  // at most 25 refreshes a second; reading the line is one short copy
}

CSlotGrid::CSlotGrid(QWidget* parent) : QWidget(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
}

void CSlotGrid::SetLevels(std::vector<std::uint8_t> levels) {
  const bool resized = levels.size() != m_slots.size();
  m_slots = std::move(levels);
  if (resized) updateGeometry();
  update();
}

QSize CSlotGrid::CellSize() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(QStringLiteral("000")) + 10, metrics.height() + 6};
}

int CSlotGrid::HeaderWidth() const { return QFontMetrics(font()).horizontalAdvance(QStringLiteral("000-000")) + 10; }

QSize CSlotGrid::sizeHint() const {
  const QSize cell = CellSize();
  // Room for the longest frame from the start, so the window need not grow when frames come.
  const int slotCount = std::max<int>(static_cast<int>(m_slots.size()), kMaxSlots);
  const int rows = (slotCount + kColumns - 1) / kColumns;
  return {HeaderWidth() + kColumns * cell.width() + 1, (rows + 1) * cell.height() + 1};
}

void CSlotGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const QSize cell = CellSize();
  const int header = HeaderWidth();
  const QColor grid = palette().mid().color();
  const QColor level(255, 170, 40);

  painter.setPen(palette().text().color());
  for (int column = 0; column < kColumns; ++column)
    painter.drawText(QRect(header + column * cell.width(), 0, cell.width(), cell.height()), Qt::AlignCenter,
                     QString::number(column + 1));

  const int count = static_cast<int>(m_slots.size());
  for (int i = 0; i < count; ++i) {
    const int row = i / kColumns;
    const int column = i % kColumns;
    const QRect box(header + column * cell.width(), (row + 1) * cell.height(), cell.width(), cell.height());
    if (column == 0) {
      const int last = std::min(count, i + kColumns);
      painter.setPen(palette().text().color());
      painter.drawText(QRect(0, box.y(), header - 6, cell.height()), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("%1-%2").arg(i + 1).arg(last));
    }
    const int value = m_slots[static_cast<std::size_t>(i)];
    // A bar from the bottom of the cell shows the level at a glance; the number reads exactly.
    const int barHeight = (box.height() - 2) * value / 255;
    painter.fillRect(QRect(box.x() + 1, box.bottom() - barHeight, box.width() - 1, barHeight), level);
    painter.setPen(grid);
    painter.drawRect(box);
    painter.setPen(palette().text().color());
    painter.drawText(box, Qt::AlignCenter, QString::number(value));
  }
}

CLineMonitor::CLineMonitor(const CDmxLine& line, QWidget* parent)
    : QWidget(parent, Qt::Window), m_line(line), m_startCode(new QLabel), m_slotCount(new QLabel), m_rate(new QLabel),
      m_state(new QLabel), m_output(new QLabel), m_grid(new CSlotGrid) {
  setWindowTitle(QStringLiteral("Line Monitor"));
  auto* facts = new QGridLayout;
  const auto add = [&](int column, const char* caption, QLabel* value) {
    facts->addWidget(new QLabel(QString::fromUtf8(caption)), 0, column * 2);
    value->setMinimumWidth(90);
    // Room after each value, so a long one ("40.0 frames/s") stays clear of the next caption.
    value->setContentsMargins(0, 0, 16, 0);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    facts->addWidget(value, 0, column * 2 + 1);
  };
  add(0, "Start code:", m_startCode);
  add(1, "Slots:", m_slotCount);
  add(2, "Rate:", m_rate);
  add(3, "Line:", m_state);
  facts->addWidget(m_output, 1, 0, 1, 8);
  facts->setColumnStretch(8, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(facts);
  layout->addWidget(m_grid, 1);

  connect(&m_timer, &QTimer::timeout, this, [this] { Refresh(); });
  m_timer.start(kRefreshMs);
  Refresh();
}

void CLineMonitor::Refresh() {
  const CLineStatus status = m_line.Status();
  m_rate->setText(QStringLiteral("%1 frames/s").arg(status.framesPerSecond, 0, 'f', 1));
  m_state->setText(status.standBy ? QStringLiteral("stand-by") : QStringLiteral("sending"));
  m_output->setText(QStringLiteral("Interface: %1").arg(QString::fromStdString(status.outputName)));
  if (status.frameCount == m_shownCount) return;
  m_shownCount = status.frameCount;
  if (!status.lastFrame) {
    m_startCode->setText(QStringLiteral("-"));
    m_slotCount->setText(QStringLiteral("-"));
    m_grid->SetLevels({});
    return;
  }
  m_startCode->setText(QStringLiteral("0x") +
                       QStringLiteral("%1").arg(status.lastFrame->startCode, 2, 16, QLatin1Char('0')).toUpper());
  m_slotCount->setText(QString::number(status.lastFrame->slots.size()));
  m_grid->SetLevels(status.lastFrame->slots);
}
