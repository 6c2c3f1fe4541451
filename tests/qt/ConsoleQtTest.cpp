// The DMX console in real widgets: faders dragged with the mouse, the line they feed, the chase
// panel reached through the system menu; screenshots for a look at the layout.
#include "FakeDialog.h"
#include "console/DmxTransmit.h"
#include "link/DmxLine.h"
#include "link/LineConstants.h"
#include "qt/LineMonitor.h"
#include "qt/TrackbarWidget.h"
#include "qt/UpDownWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

using C = CDmxTransmit;

QString ValueBox(CDialogWindow& window, int column) {
  return WidgetAs<QLineEdit>(window, C::ValueBoxId(column))->text();
}
QString Label(CDialogWindow& window, int id) { return WidgetAs<QLabel>(window, id)->text(); }

}  // namespace

TEST_F(QtHost, ConsoleFaderDraggedToTheTopSendsFullLevelAndTheLineMonitorShowsIt) {
  CVirtualLine line;
  line.Line().DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
  auto data = std::make_unique<CConsoleData>();
  C console(line.Line(), *data);
  Run(console, [&](CDialogWindow& window) {
    auto* fader = WidgetAs<CTrackbarWidget>(window, C::FaderId(0));
    ASSERT_NE(fader, nullptr);
    EXPECT_EQ(fader->value(), 255);  // level 0 at the bottom
    EXPECT_EQ(ValueBox(window, 0), "0");
    // Up and past the top: the fader stops there at level 255, and the box follows the drag.
    Drag(fader, QPoint(0, -fader->height()));
    EXPECT_EQ(console.Item(C::FaderId(0)).Pos(), 0);
    EXPECT_EQ(ValueBox(window, 0), "255");
    EXPECT_EQ(data->Level(0), 255);
    ASSERT_TRUE(QTest::qWaitFor([&] { return line.LastLevel(1) == 255; }, 2000));

    // A few more levels for the picture.
    for (int k = 3; k < C::kColumns; ++k) {
      console.Item(C::FaderId(k)).SetPos(255 - (k * 37) % 256);
      console.Dispatch({EMessage::VScroll, C::FaderId(k), TB_THUMBTRACK, console.Item(C::FaderId(k)).Pos()});
    }
    EXPECT_EQ(ValueBox(window, 31), QString::number((31 * 37) % 256));
    SaveScreenshot(window, "console.png");

    // The line monitor beside the console shows the levels the faders set, and 40 frames a
    // second (within a frame) once the console has run for a second.
    ASSERT_TRUE(QTest::qWaitFor([&] { return line.LastLevel(32) == (31 * 37) % 256; }, 2000));
    CLineMonitor monitor(line.Line());
    monitor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
    const auto rate = [&monitor] {
      for (const QLabel* label : monitor.findChildren<QLabel*>())
        if (label->text().endsWith(" frames/s")) return label->text().section(' ', 0, 0).toDouble();
      return -1.0;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return rate() >= 39 && rate() <= 41; }, 3000)) << rate();
    monitor.Refresh();
    SaveScreenshot(monitor, "line-monitor-console.png");
  });
}

TEST_F(QtHost, ChasePanelFromTheSystemMenuRecordsAndRunsAChase) {
  CVirtualLine line;
  line.Line().DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
  auto data = std::make_unique<CConsoleData>();
  C console(line.Line(), *data);
  Run(console, [&](CDialogWindow& window) {
    auto* add = WidgetAs<QPushButton>(window, C::kAddButton);
    EXPECT_TRUE(add->isHidden());
    QStringList items;
    ChooseSystemMenuItem(window, C::kChasePanelCommand, &items);
    ASSERT_TRUE(QTest::qWaitFor([&] { return add->isVisible(); }, 2000));
    EXPECT_TRUE(items.contains("Chase Panel")) << items.join(", ").toStdString();

    // Step 1: channel 1 full; step 2: channel 2 full.
    auto* fader = WidgetAs<CTrackbarWidget>(window, C::FaderId(0));
    auto* second = WidgetAs<CTrackbarWidget>(window, C::FaderId(1));
    Drag(fader, QPoint(0, -fader->height()));
    QTest::mouseClick(add, Qt::LeftButton);
    Drag(fader, QPoint(0, fader->height()));
    Drag(second, QPoint(0, -second->height()));
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(Label(window, C::kStepCountDisplay), "2");

    auto* run = WidgetAs<QPushButton>(window, C::kRunButton);
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(run->text(), "Stop");
    EXPECT_FALSE(fader->isEnabled());
    // The first step holds 7 s; the selector's up arrow jumps to step 2 at once.
    QTest::mouseClick(WidgetAs<CUpDownWidget>(window, C::kStepSelector)->UpButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Label(window, C::kStepNumberDisplay) == "2"; }, 2000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return line.LastLevel(2) == 255 && line.LastLevel(1) == 0; }, 3000));
    SaveScreenshot(window, "console-chase-panel.png");
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(run->text(), "Run");
    EXPECT_TRUE(fader->isEnabled());
  });
}
