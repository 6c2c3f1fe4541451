// The line monitor window: the interface and its state, start code, slot count, frame rate and every
// slot's level, read from the line while the window is shown.
#include "qt/LineMonitor.h"

#include "app/DialogCatalog.h"
#include "link/DmxFrame.h"
#include "link/DmxLine.h"
#include "qt/DialogUnits.h"
#include "qt/SlotGrid.h"
#include "qt/UserSettings.h"
#include "qt/WindowPlaces.h"

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
const char* const kPlaceName = "LineMonitor";
const char* const kFormatKey = "LineMonitor/format";

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
  // Room for the widest value from the start, so the window never has to grow to show one.
  for (const auto& [value, widest] : {std::pair{m_startCode, "0xFF"}, {m_slotCount, "568"}, {m_rate, "999.9 frames/s"}})
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QString::fromLatin1(widest)) + 16);
  auto* levelsAs = new QLabel(QStringLiteral("&Levels as:"));
  levelsAs->setBuddy(m_format);
  facts->addWidget(levelsAs, 3, 0);
  m_format->addItems({QStringLiteral("Decimal"), QStringLiteral("Percent"), QStringLiteral("Hexadecimal")});
  // The format chosen last time.
  const int format = UserSettings().value(kFormatKey, 0).toInt();
  if (format > 0 && format < m_format->count()) {
    m_format->setCurrentIndex(format);
    m_grid->SetFormat(static_cast<ELevelFormat>(format));
  }
  // A long interface name (a by-id path) is cut rather than widen the window past its screen.
  m_output->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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

  connect(m_format, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_grid->SetFormat(static_cast<ELevelFormat>(index));
    UserSettings().setValue(kFormatKey, index);
  });
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
  m_output->setToolTip(m_output->text());
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
  RememberPlace(kPlaceName, *this);
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

namespace {

// The width of the widest tool window on the screen, so that the monitor can leave room for it.
int WidestTool(const QScreen& screen) {
  const CDialogUnits units(CDialogUnits::ScaleOf(&screen));
  int widest = 0;
  for (const CDialogEntry& entry : ProgramDialogs()) widest = std::max(widest, units.X(entry.layout().cx));
  return widest;
}

}  // namespace

// The whole window stays on the screen: it is sized to the screen's free area less the frame the
// window manager adds, which is guessed from a title bar's height while the anchor has none yet.
// It stands at the screen's edge on the anchor's roomier side, narrowed where that leaves the
// widest tool room to open beside it; where it would cover the anchor, the anchor moves aside if
// the two fit on the screen side by side.
void CLineMonitor::PlaceBeside(QWidget& anchor) {
  const QScreen* screen = anchor.screen() ? anchor.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  const QRect other = anchor.frameGeometry();
  QSize frame = FrameExtra(&anchor);
  if (frame.isEmpty()) {
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int title = std::max(style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this), 2 * fontMetrics().height());
    frame = QSize(2 * border, title + 2 * border);
  }
  ensurePolished();  // so that the window knows the least size its contents need
  layout()->activate();
  const int fewest = std::min(minimumSize().width() + frame.width(), room.width());
  const int leaving = room.width() - WidestTool(*screen) - 2 * frame.width() - kGap;
  resize(std::clamp(PreferredSize().width() + frame.width(), fewest, std::max(fewest, leaving)) - frame.width(),
         std::min(PreferredSize().height() + frame.height(), room.height()) - frame.height());
  const int width = this->width() + frame.width(), height = this->height() + frame.height();
  if (const auto kept = RememberedPlace(kPlaceName, {width, height})) {
    move(*kept);
    return;
  }
  const int rightRoom = room.right() - other.right() - kGap;
  const int leftRoom = other.left() - room.left() - kGap;
  const bool right = width <= rightRoom || (width > leftRoom && rightRoom >= leftRoom);
  const int x = right ? room.right() + 1 - width : room.left();
  const bool covers = right ? x < other.right() + 1 + kGap : x + width + kGap > other.left();
  if (covers && other.width() + kGap + width <= room.width())
    anchor.move(right ? x - kGap - other.width() : x + width + kGap, other.top());
  move(x, std::clamp(other.top(), room.top(), room.bottom() + 1 - height));
}
