// The line monitor window: the interface and its state, start code, slot count, frame rate and every
// slot's level, read from the line while the window is shown.
#include "qt/LineMonitor.h"

#include "link/DmxFrame.h"
#include "link/DmxLine.h"
#include "qt/SlotGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kRefreshMs = 40;  // at most 25 refreshes a second; reading the line is one short copy
constexpr int kGap = 8;         // between the monitor and the window it is placed beside

// Sets a label's text only when it differs, so an unchanged label is not repainted.
void ShowText(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

QLabel* ValueLabel() {
  auto* label = new QLabel;
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

CLineMonitor::CLineMonitor(const CDmxLine& line, QWidget* parent)
    : QWidget(parent, Qt::Window), m_line(line), m_output(ValueLabel()), m_state(ValueLabel()),
      m_startCode(ValueLabel()), m_slotCount(ValueLabel()), m_rate(ValueLabel()), m_format(new QComboBox),
      m_freeze(new QCheckBox(QStringLiteral("&Freeze"))), m_scroller(new QScrollArea), m_grid(new CSlotGrid) {
  setWindowTitle(QStringLiteral("Line Monitor"));
  auto* facts = new QGridLayout;
  const auto caption = [&](const char* text, int row, int column) {
    facts->addWidget(new QLabel(QString::fromUtf8(text)), row, column);
  };
  caption("Interface:", 0, 0);
  facts->addWidget(m_output, 0, 1, 1, 5);
  caption("Line:", 1, 0);
  m_state->setWordWrap(true);  // a failure's reason is a sentence or two
  facts->addWidget(m_state, 1, 1, 1, 5);
  caption("Start code:", 2, 0);
  facts->addWidget(m_startCode, 2, 1);
  caption("Slots:", 2, 2);
  facts->addWidget(m_slotCount, 2, 3);
  caption("Rate:", 2, 4);
  facts->addWidget(m_rate, 2, 5);
  for (QLabel* value : {m_startCode, m_slotCount, m_rate}) value->setContentsMargins(0, 0, 16, 0);
  auto* levelsAs = new QLabel(QStringLiteral("&Levels as:"));
  levelsAs->setBuddy(m_format);
  facts->addWidget(levelsAs, 3, 0);
  m_format->addItems({QStringLiteral("Decimal"), QStringLiteral("Percent"), QStringLiteral("Hexadecimal")});
  facts->addWidget(m_format, 3, 1, 1, 2, Qt::AlignLeft);
  facts->addWidget(m_freeze, 3, 3, 1, 3, Qt::AlignLeft);
  facts->setColumnStretch(5, 1);

  m_scroller->setWidget(m_grid);
  m_scroller->setWidgetResizable(true);
  m_scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the grid takes the width it gets
  m_scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(facts);
  layout->addWidget(m_scroller, 1);

  connect(m_format, &QComboBox::currentIndexChanged, this,
          [this](int index) { m_grid->SetFormat(static_cast<ELevelFormat>(index)); });
  connect(m_freeze, &QCheckBox::toggled, this, [this] { Refresh(); });
  connect(&m_timer, &QTimer::timeout, this, [this] { Refresh(); });
  Refresh();

  const QScreen* screen = QGuiApplication::primaryScreen();
  resize(screen ? PreferredSize().boundedTo(screen->availableGeometry().size()) : PreferredSize());
}

QString CLineMonitor::StateText(const CLineStatus& status) {
  if (status.fault) return QStringLiteral("failed: ") + QString::fromStdString(status.fault->message);
  return status.standBy ? QStringLiteral("stand-by") : QStringLiteral("sending");
}

void CLineMonitor::Refresh() {
  const CLineStatus status = m_line.Status();
  ShowText(m_output, QString::fromStdString(status.outputName));
  ShowText(m_state, StateText(status));
  ShowText(m_rate, QStringLiteral("%1 frames/s").arg(status.framesPerSecond, 0, 'f', 1));
  if (m_freeze->isChecked() || status.frameCount == m_shownCount) return;
  m_shownCount = status.frameCount;
  ShowFrame(status);
}

void CLineMonitor::ShowFrame(const CLineStatus& status) {
  if (!status.lastFrame) {
    ShowText(m_startCode, QStringLiteral("-"));
    ShowText(m_slotCount, QStringLiteral("-"));
    m_grid->SetLevels({});
    return;
  }
  ShowText(m_startCode,
           QStringLiteral("0x") + QStringLiteral("%1").arg(status.lastFrame->startCode, 2, 16, QLatin1Char('0')).toUpper());
  ShowText(m_slotCount, QString::number(status.lastFrame->slots.size()));
  m_grid->SetLevels(status.lastFrame->slots);
}

void CLineMonitor::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
  m_timer.start(kRefreshMs);
}

void CLineMonitor::hideEvent(QHideEvent* event) {
  m_timer.stop();  // a hidden monitor costs nothing
  QWidget::hideEvent(event);
}

// The size that shows the whole grid at its preferred number of columns.
QSize CLineMonitor::PreferredSize() const {
  const int scrollerFrame = 2 * m_scroller->frameWidth();
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroller);
  const QMargins margins = layout()->contentsMargins();
  const QSize grid = m_grid->sizeHint();
  const QSize all = layout()->sizeHint();
  return {std::max(all.width(), grid.width() + scrollerFrame + bar + margins.left() + margins.right()),
          all.height() - m_scroller->sizeHint().height() + grid.height() + scrollerFrame};
}

void CLineMonitor::PlaceBeside(const QWidget& anchor) {
  const QScreen* screen = anchor.screen() ? anchor.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  const QRect other = anchor.frameGeometry();
  // This window's frame is not known before it is shown: the anchor's is a fair guess.
  const QSize frame = other.size() - anchor.geometry().size();
  const int fewest = minimumSizeHint().width() + frame.width();
  int width = PreferredSize().width() + frame.width();
  const int height = std::min(PreferredSize().height() + frame.height(), room.height());
  const int rightRoom = room.right() - other.right() - kGap;
  const int leftRoom = other.left() - room.left() - kGap;
  bool right = true;
  if (width > rightRoom && width <= leftRoom) {
    right = false;
  } else if (width > rightRoom) {
    right = rightRoom >= leftRoom;
    width = std::max(fewest, right ? rightRoom : leftRoom);
  }
  width = std::min(width, room.width());
  int x = right ? other.right() + 1 + kGap : other.left() - kGap - width;
  x = std::clamp(x, room.left(), room.right() + 1 - width);
  const int y = std::clamp(other.top(), room.top(), room.bottom() + 1 - height);
  resize(width - frame.width(), height - frame.height());
  move(x, y);
}
