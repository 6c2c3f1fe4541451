// The line monitor: the line's state and last frame in the chosen format, held while frozen, cells repainted alone.
#include "link/DmxLine.h"
#include "link/LineConstants.h"
#include "outputs/VirtualOutput.h"
#include "qt/LineMonitor.h"
#include "qt/SlotGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QTest>
#include <gtest/gtest.h>

TEST(LineMonitor, ShowsTheLinesStateAndLastFrameInTheChosenFormatUnlessFrozen) {
  CDmxLine line;
  line.SetOutput(std::make_unique<CVirtualOutput>());
  line.SetClock([] { return 0; });  // every frame within the last second
  CLineMonitor monitor(line);
  const auto texts = [&] {
    monitor.Refresh();
    QStringList shown;
    for (const QLabel* label : monitor.findChildren<QLabel*>()) shown << label->text();
    return shown.join("|").toStdString();
  };
  EXPECT_EQ(texts(), "Interface:|virtual|Line:|stand-by|Start code:|-|Slots:|-|Rate:|0.0 frames/s|&Levels as:");
  line.DmxLinkSetMode(kLinkMark, 0xF6, 0, 24);
  line.DmxLinkTransmitStartWithChannelValue(2, 1);
  line.DmxLinkTransmitStartWithChannelValue(2, 39);
  EXPECT_EQ(texts(), "Interface:|virtual|Line:|sending|Start code:|0xF6|Slots:|24|Rate:|2.0 frames/s|&Levels as:");
  const CSlotGrid& grid = monitor.Grid();
  ASSERT_EQ(grid.Levels().size(), 24u);
  EXPECT_EQ(grid.Levels()[2], 39);

  auto* format = monitor.findChild<QComboBox*>();
  QStringList shown;
  for (int choice = 0; choice < format->count(); ++choice) {
    format->setCurrentIndex(choice);
    for (const int level : {0, 39, 128, 255}) shown << LevelText(static_cast<std::uint8_t>(level), grid.Format());
  }
  EXPECT_EQ(shown.join(" "), "0 39 128 255 0 15 50 100 00 27 80 FF");

  auto* freeze = monitor.findChild<QCheckBox*>();
  freeze->setChecked(true);
  line.DmxLinkSetMode(kLinkMark, 0, 0, 512);
  line.DmxLinkTransmitStartWithChannelValue(2, 7);
  EXPECT_TRUE(texts().contains("Start code:|0xF6|Slots:|24|")) << "frozen";
  EXPECT_EQ(grid.Levels()[2], 39);
  freeze->setChecked(false);
  EXPECT_TRUE(texts().contains("Start code:|0x00|Slots:|512|"));
  EXPECT_EQ(grid.Levels()[2], 7);
  CLineStatus failed;
  failed.fault = CError{"unplugged"};
  EXPECT_EQ(CLineMonitor::StateText(failed), "failed: unplugged");
}

// Collects the areas a widget is asked to paint.
class CPaintSpy final : public QObject {
 public:
  QRegion painted;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

TEST(LineMonitor, RepaintsOnlyTheCellsWhoseLevelChanged) {
  CSlotGrid grid;
  std::vector<std::uint8_t> levels(512, 100);
  grid.SetLevels(levels);
  grid.resize(grid.sizeHint());
  grid.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
  CPaintSpy spy;
  grid.installEventFilter(&spy);
  grid.SetLevels(levels);
  levels[45] = 200;
  grid.SetLevels(levels);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !spy.painted.isEmpty(); }));
  EXPECT_EQ(spy.painted.boundingRect(), grid.CellRect(45).adjusted(0, 0, 1, 1));
}
