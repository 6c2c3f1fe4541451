// The DMX console in real widgets: a fader dragged with the mouse, the channel bar, the line it
// feeds, the chase panel reached through the system menu; screenshots for a look at the layout.
#include "FakeDialog.h"
#include "console/DmxTransmit.h"
#include "link/DmxLine.h"
#include "link/DmxLink.h"
#include "link/OutputFactory.h"
#include "qt/LineMonitor.h"
#include "qt/ScrollBarWidget.h"
#include "qt/TrackbarWidget.h"
#include "qt/UpDownWidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>
#include <memory>

namespace {

using C = CDmxTransmit;

QRect Handle(QSlider* slider) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.singleStep = slider->singleStep();
  option.pageStep = slider->pageStep();
  option.upsideDown = slider->orientation() == Qt::Horizontal ? slider->invertedAppearance()
                                                               : !slider->invertedAppearance();
  option.tickPosition = slider->tickPosition();
  option.subControls = QStyle::SC_All;
  return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

// Drags a slider's handle by `offset` pixels with the mouse, as a technician would.
void Drag(QSlider* slider, QPoint offset) {
  const QPoint from = Handle(slider).center();
  QTest::mousePress(slider, Qt::LeftButton, {}, from);
  QTest::mouseMove(slider, from + offset / 2);
  QTest::mouseMove(slider, from + offset);
  QTest::mouseRelease(slider, Qt::LeftButton, {}, from + offset);
}

QString ValueBox(CDialogWindow& window, int column) {
  return WidgetAs<QLineEdit>(window, C::ValueBoxId(column))->text();
}
QString Label(CDialogWindow& window, int id) { return WidgetAs<QLabel>(window, id)->text(); }

int LastLevel(int channel) {
  const auto frame = CDmxLine::Instance().LastFrame();
  return frame ? frame->slots.at(static_cast<std::size_t>(channel - 1)) : -1;
}

// Chooses a system menu item of the window through its menu, as a right click shows it.
void ChooseSystemMenuItem(CDialogWindow& window, int command, QStringList* texts = nullptr) {
  CPoller picker([&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return false;
    for (QAction* action : menu->actions()) {
      if (texts && !action->isSeparator()) *texts << action->text();
      if (action->data().toInt() == command) menu->setActiveAction(action);
    }
    QTest::keyClick(menu, Qt::Key_Return);
    return true;
  });
  const QPoint at(window.width() / 2, window.height() - 10);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window.mapToGlobal(at));
  QApplication::sendEvent(&window, &event);
}

class CConsoleLine {
 public:
  CConsoleLine() {
    CDmxLine::Instance().Reset();
    CDmxLine::Instance().SetOutput(std::move(*MakeOutput("virtual")));
    DmxLinkSetMode(0xA5, 0, 0, 512);
  }
  ~CConsoleLine() { CDmxLine::Instance().Reset(); }
  CConsoleLine(const CConsoleLine&) = delete;
  CConsoleLine& operator=(const CConsoleLine&) = delete;
};

}  // namespace

TEST_F(QtHost, ConsoleFaderDraggedToTheTopSendsFullLevelAndTheBankScrolls) {
  const CConsoleLine line;
  auto data = std::make_unique<CConsoleData>();
  C console(*data);
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
    ASSERT_TRUE(QTest::qWaitFor([] { return LastLevel(1) == 255; }, 2000));

    // Half way down fader 3: its box shows what its position means.
    auto* third = WidgetAs<CTrackbarWidget>(window, C::FaderId(2));
    Drag(third, QPoint(0, -third->height() / 2));
    const int level = 255 - console.Item(C::FaderId(2)).Pos();
    EXPECT_GT(level, 60);
    EXPECT_LT(level, 200);
    EXPECT_EQ(ValueBox(window, 2), QString::number(level));
    ASSERT_TRUE(QTest::qWaitFor([&] { return LastLevel(3) == level; }, 2000));

    // The channel bar: a page right shows channels 11 to 42, the levels of channels 1 and 3 leave.
    auto* bar = WidgetAs<CScrollBarWidget>(window, C::kChannelBar);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(console.Item(C::kChannelBar).Pos(), 10);
    EXPECT_EQ(bar->value(), 10);
    EXPECT_EQ(Label(window, C::LabelId(0)), "11");
    EXPECT_EQ(Label(window, C::LabelId(31)), "42");
    EXPECT_EQ(fader->value(), 255);
    EXPECT_EQ(ValueBox(window, 0), "0");
    // A channel above 142 goes out at once: drag channel 180 up on the bank of 161 to 192.
    for (int page = 0; page < 15; ++page) bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Label(window, C::LabelId(0)), "161");
    auto* high = WidgetAs<CTrackbarWidget>(window, C::FaderId(19));
    Drag(high, QPoint(0, -high->height()));
    EXPECT_EQ(ValueBox(window, 19), "255");
    ASSERT_TRUE(QTest::qWaitFor([] { return LastLevel(180) == 255; }, 2000));
    bar->triggerAction(QAbstractSlider::SliderToMinimum);  // Home: not a move of the bank
    EXPECT_EQ(Label(window, C::LabelId(0)), "161");
    for (int page = 0; page < 16; ++page) bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(Label(window, C::LabelId(0)), "1");
    EXPECT_EQ(ValueBox(window, 0), "255");

    // The Home key on a fader puts it at the top; its box, the frame and the line follow.
    fader->setFocus();
    third->setFocus();
    QTest::keyClick(third, Qt::Key_Home);
    EXPECT_EQ(ValueBox(window, 2), "255");
    ASSERT_TRUE(QTest::qWaitFor([] { return LastLevel(3) == 255; }, 2000));

    // A few more levels for the picture.
    for (int k = 3; k < C::kColumns; ++k) {
      console.Item(C::FaderId(k)).SetPos(255 - (k * 37) % 256);
      console.Dispatch({EMessage::VScroll, C::FaderId(k), TB_THUMBTRACK, console.Item(C::FaderId(k)).Pos()});
    }
    EXPECT_EQ(ValueBox(window, 31), QString::number((31 * 37) % 256));
    const std::string shot = SaveScreenshot(window, "console.png");
    EXPECT_FALSE(QImage(QString::fromStdString(shot)).isNull());

    // The line monitor beside the console shows the levels the faders set.
    ASSERT_TRUE(QTest::qWaitFor([] { return LastLevel(32) == (31 * 37) % 256; }, 2000));
    CLineMonitor monitor;
    monitor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
    // 40 frames a second (within a frame) once the console has run for a second.
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
  const CConsoleLine line;
  auto data = std::make_unique<CConsoleData>();
  C console(*data);
  Run(console, [&](CDialogWindow& window) {
    auto* add = WidgetAs<QPushButton>(window, C::kAddButton);
    EXPECT_TRUE(add->isHidden());
    QStringList items;
    ChooseSystemMenuItem(window, C::kChasePanelCommand, &items);
    ASSERT_TRUE(QTest::qWaitFor([&] { return add->isVisible(); }, 2000));
    EXPECT_TRUE(items.contains("Chase Panel")) << items.join(", ").toStdString();

    auto* fader = WidgetAs<CTrackbarWidget>(window, C::FaderId(0));
    auto* second = WidgetAs<CTrackbarWidget>(window, C::FaderId(1));
    // Step 1: channel 1 full; step 2: channel 2 full.
    Drag(fader, QPoint(0, -fader->height()));
    QTest::mouseClick(add, Qt::LeftButton);
    Drag(fader, QPoint(0, fader->height()));
    Drag(second, QPoint(0, -second->height()));
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(Label(window, C::kStepCountDisplay), "2");
    EXPECT_EQ(Label(window, C::kStepNumberDisplay), "3");

    auto* fade = WidgetAs<CTrackbarWidget>(window, C::kFadeSlider);
    fade->setFocus();
    for (int i = 0; i < 5; ++i) QTest::keyClick(fade, Qt::Key_Right);
    EXPECT_EQ(Label(window, C::kFadeDisplay), "0'0.5\"");
    auto* run = WidgetAs<QPushButton>(window, C::kRunButton);
    ASSERT_TRUE(run->isEnabled());
    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(run->text(), "Stop");
    EXPECT_FALSE(fader->isEnabled());
    // The first step holds 7 s; the selector's up arrow jumps to step 2 at once, which fades in
    // over 0.5 s.
    auto* selector = WidgetAs<CUpDownWidget>(window, C::kStepSelector);
    QTest::mouseClick(selector->UpButton(), Qt::LeftButton);
    EXPECT_EQ(console.Item(C::kStepSelector).Pos(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Label(window, C::kStepNumberDisplay) == "2"; }, 2000));
    ASSERT_TRUE(QTest::qWaitFor([] { return LastLevel(2) > 0 && LastLevel(2) < 255; }, 2000));
    const std::string shot = SaveScreenshot(window, "console-chase-panel.png");
    EXPECT_FALSE(QImage(QString::fromStdString(shot)).isNull());
    ASSERT_TRUE(QTest::qWaitFor([] { return LastLevel(2) == 255 && LastLevel(1) == 0; }, 3000));

    QTest::mouseClick(run, Qt::LeftButton);
    EXPECT_EQ(run->text(), "Run");
    EXPECT_TRUE(fader->isEnabled());
    EXPECT_EQ(WidgetAs<QPushButton>(window, C::kAddButton)->text(), "Overwrite");
    EXPECT_EQ(ValueBox(window, 1), "255");

    // The same item hides the panel again.
    ChooseSystemMenuItem(window, C::kChasePanelCommand);
    ASSERT_TRUE(QTest::qWaitFor([&] { return add->isHidden(); }, 2000));
    EXPECT_TRUE(Label(window, C::kStepCountDisplay).size() > 0);
    EXPECT_TRUE(window.Widget(C::kStepCountDisplay)->isHidden());
  });
}
