// The line monitor shows its line: the interface's state, the last frame's start code, slot count,
// rate and levels in the chosen format, held while frozen, and repaints only the cells that changed.
#include "link/DmxLine.h"
#include "link/LineConstants.h"
#include "qt/LineMonitor.h"
#include "qt/SlotGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// An interface that fails when the test says so.
class CFailingOutput final : public CDmxOutput {
 public:
  bool Answers(int, int) override { return true; }
  void Send(const CDmxFrame&) override {}
  void SetFaultHandler(std::function<void(const CError&)> handler) override { m_report = std::move(handler); }
  std::string Name() const override { return "opendmx:/dev/ttyUSB0"; }
  void Fail(const std::string& reason) { m_report(CError{reason}); }

 private:
  std::function<void(const CError&)> m_report;
};

// Collects the areas the grid is asked to paint.
class CPaintSpy final : public QObject {
 public:
  QRegion painted;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

}  // namespace

TEST(LineMonitor, ShowsTheLinesStateAndLastFrameInTheChosenFormatUnlessFrozen) {
  CDmxLine line;
  auto output = std::make_unique<CFailingOutput>();
  CFailingOutput& failing = *output;
  line.SetOutput(std::move(output));
  std::int64_t now = 0;
  line.SetClock([&now] { return now; });
  CLineMonitor monitor(line);
  const auto texts = [&] {
    monitor.Refresh();
    QStringList shown;
    for (const QLabel* label : monitor.findChildren<QLabel*>()) shown << label->text();
    return shown.join("|");
  };
  EXPECT_TRUE(texts().startsWith("Interface:|opendmx:/dev/ttyUSB0|Line:|stand-by|Start code:|-|Slots:|-|"))
      << texts().toStdString();
  line.DmxLinkSetMode(kLinkMark, 0xF6, 0, 24);
  for (int frame = 0; frame < 40; ++frame, now += 25'000)  // a second at 40 frames a second
    line.DmxLinkTransmitStartWithChannelValue(2, frame);
  now -= 25'000;
  EXPECT_TRUE(texts().contains("Line:|sending|Start code:|0xF6|Slots:|24|Rate:|40.0 frames/s"))
      << texts().toStdString();
  const CSlotGrid& grid = monitor.Grid();
  ASSERT_EQ(grid.Levels().size(), 24u);
  EXPECT_EQ(grid.Levels()[2], 39);

  auto* format = monitor.findChild<QComboBox*>();
  ASSERT_NE(format, nullptr);
  QStringList shown;
  for (int choice = 0; choice < format->count(); ++choice) {
    format->setCurrentIndex(choice);
    for (const int level : {0, 39, 128, 255}) shown << LevelText(static_cast<std::uint8_t>(level), grid.Format());
  }
  EXPECT_EQ(shown.join(" "), "0 39 128 255 0 15 50 100 00 27 80 FF");

  auto* freeze = monitor.findChild<QCheckBox*>();
  ASSERT_NE(freeze, nullptr);
  freeze->setChecked(true);
  line.DmxLinkSetMode(kLinkMark, 0, 0, 512);
  line.DmxLinkTransmitStartWithChannelValue(2, 7);
  EXPECT_TRUE(texts().contains("Start code:|0xF6|Slots:|24|")) << "frozen";
  EXPECT_EQ(grid.Levels()[2], 39);
  freeze->setChecked(false);
  EXPECT_TRUE(texts().contains("Start code:|0x00|Slots:|512|"));
  EXPECT_EQ(grid.Levels()[2], 7);

  failing.Fail("The DMX interface opendmx:/dev/ttyUSB0 stopped working (unplugged)");
  EXPECT_TRUE(texts().contains("Line:|failed: The DMX interface opendmx:/dev/ttyUSB0 stopped working (unplugged)|"))
      << texts().toStdString();
}

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
