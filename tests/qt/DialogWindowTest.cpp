// User actions on each control kind reach the dialog as the control's notifications, and the
// dialog's changes show in the widgets.
#include "FakeDialog.h"
#include "qt/ScrollBarWidget.h"
#include "qt/TrackbarWidget.h"
#include "qt/UpDownWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>

namespace {

using D = CFakeDialog;

QRect SubControl(QAbstractSlider* slider, QStyle::ComplexControl kind, QStyle::SubControl part) {
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
  if (auto* qslider = qobject_cast<QSlider*>(slider)) {
    option.tickPosition = qslider->tickPosition();
    option.tickInterval = qslider->tickInterval();
  }
  option.subControls = QStyle::SC_All;
  return slider->style()->subControlRect(kind, &option, part, slider);
}

const D::CRecord& Last(const D& dialog, EMessage kind, int id) {
  for (auto it = dialog.log.rbegin(); it != dialog.log.rend(); ++it)
    if (it->message.kind == kind && it->message.id == id) return *it;
  static const D::CRecord none{};
  ADD_FAILURE() << "no message from control " << id;
  return none;
}

}  // namespace

TEST_F(QtHostTest, ButtonClickMovesTheFocusThenNotifies) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    QTest::mouseClick(WidgetAs<QPushButton>(window, D::kButton), Qt::LeftButton);
  });
  ASSERT_EQ(dialog.Codes(EMessage::Command, D::kButton), std::vector<int>{BN_CLICKED});
  EXPECT_EQ(Last(dialog, EMessage::Command, D::kButton).focusId, D::kButton);
}

TEST_F(QtHostTest, TypingReachesTheFieldAndLeavingItNotifiesBeforeTheClick) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* field = WidgetAs<QLineEdit>(window, D::kField);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, "4a2");
    EXPECT_EQ(dialog.ItemText(D::kField), "42") << "a digits-only field refuses letters";
    // The dialog's own change shows, and typing goes on from there without an echo.
    dialog.SetItemText(D::kField, "7");
    EXPECT_EQ(field->text(), "7");
    QTest::keyClicks(field, "5");
    EXPECT_EQ(dialog.ItemText(D::kField), "75");
    QTest::mouseClick(WidgetAs<QPushButton>(window, D::kButton), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.Codes(EMessage::Command, D::kField), (std::vector<int>{EN_CHANGE, EN_CHANGE, EN_CHANGE, EN_KILLFOCUS}));
  std::vector<std::pair<int, int>> order;
  for (const auto& record : dialog.log)
    if (record.message.kind == EMessage::Command && record.message.code != EN_CHANGE)
      order.emplace_back(record.message.id, record.message.code);
  EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{D::kField, EN_KILLFOCUS}, {D::kButton, BN_CLICKED}}));
}

TEST_F(QtHostTest, FieldThatRefusesItsContentTakesTheFocusBackAndTheClickIsLost) {
  D dialog;
  dialog.onMessage = [&](const CMessage& message) {
    if (message.kind != EMessage::Command || message.id != D::kField || message.code != EN_KILLFOCUS) return false;
    if (dialog.ItemText(D::kField) != "999") return false;
    dialog.MessageBox("DMX Address Must Range in 1 to 512", EMessageIcon::Warning);
    dialog.SetItemText(D::kField, "1");
    dialog.SetFocus(D::kField);
    return true;
  };
  CBoxAnswerer boxes;
  const QWidget* owner = nullptr;
  bool focusBack = false;
  Run(dialog, [&](CDialogWindow& window) {
    owner = &window;
    auto* field = WidgetAs<QLineEdit>(window, D::kField);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, "999");
    QTest::mouseClick(WidgetAs<QPushButton>(window, D::kButton), Qt::LeftButton);
    focusBack = QTest::qWaitFor([&] { return QApplication::focusWidget() == field; });
    EXPECT_EQ(field->text(), "1");
  });
  EXPECT_TRUE(focusBack);
  EXPECT_TRUE(dialog.Messages(EMessage::Command, D::kButton).empty()) << "the click must be lost";
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_EQ(boxes.seen[0].text, "DMX Address Must Range in 1 to 512");
  EXPECT_EQ(boxes.seen[0].parent, owner) << "the box is owned by the dialog's window";
}

TEST_F(QtHostTest, ScrollBarReportsEveryActionButMovesOnlyWhereTheDialogSetsIt) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* bar = WidgetAs<CScrollBarWidget>(window, D::kBar);
    ASSERT_EQ(bar->value(), 10);

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Last(dialog, EMessage::HScroll, D::kBar).message.code, SB_LINERIGHT);
    EXPECT_EQ(bar->value(), 11);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(Last(dialog, EMessage::HScroll, D::kBar).message.code, SB_PAGELEFT);
    EXPECT_EQ(bar->value(), 1);

    // End goes to SB_RIGHT, which this dialog ignores; the key's release ends the action.
    dialog.log.clear();
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_End);
    EXPECT_EQ(dialog.Codes(EMessage::HScroll, D::kBar), (std::vector<int>{SB_RIGHT, SB_ENDSCROLL}));
    EXPECT_EQ(bar->value(), 1);

    // The right arrow, clicked.
    dialog.log.clear();
    const QRect arrow = SubControl(bar, QStyle::CC_ScrollBar, QStyle::SC_ScrollBarAddLine);
    QTest::mouseClick(bar, Qt::LeftButton, {}, arrow.center());
    EXPECT_EQ(dialog.Codes(EMessage::HScroll, D::kBar), (std::vector<int>{SB_LINERIGHT, SB_ENDSCROLL}));
    EXPECT_EQ(bar->value(), 2);

    // A drag: tracking with the dragged position, then the release.
    dialog.log.clear();
    const QPoint thumb = SubControl(bar, QStyle::CC_ScrollBar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(bar, thumb + QPoint(60, 0));
    const auto track = Last(dialog, EMessage::HScroll, D::kBar).message;
    EXPECT_EQ(track.code, SB_THUMBTRACK);
    EXPECT_GT(track.pos, 2);
    EXPECT_EQ(bar->value(), track.pos);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(60, 0));
    const auto messages = dialog.Messages(EMessage::HScroll, D::kBar);
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[messages.size() - 2].code, SB_THUMBPOSITION);
    EXPECT_EQ(messages[messages.size() - 2].pos, track.pos);
    EXPECT_EQ(messages.back().code, SB_ENDSCROLL);

    // A dialog that refuses: the bar stays where it was, whatever the user does.
    dialog.refuseScroll = true;
    const int before = bar->value();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Last(dialog, EMessage::HScroll, D::kBar).message.code, SB_PAGERIGHT);
    EXPECT_EQ(bar->value(), before);
    const QPoint from = SubControl(bar, QStyle::CC_ScrollBar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    QTest::mouseMove(bar, from - QPoint(40, 0));
    EXPECT_EQ(Last(dialog, EMessage::HScroll, D::kBar).message.code, SB_THUMBTRACK);
    EXPECT_EQ(bar->sliderPosition(), before);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, from - QPoint(40, 0));
    EXPECT_EQ(bar->value(), before);
    EXPECT_EQ(dialog.Item(D::kBar).Pos(), before);
  });
}

TEST_F(QtHostTest, TrackbarMovesItselfThenReportsItsNewPosition) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* track = WidgetAs<CTrackbarWidget>(window, D::kTrack);
    track->setFocus();
    QTest::keyClick(track, Qt::Key_Right);
    EXPECT_EQ(dialog.Codes(EMessage::HScroll, D::kTrack), (std::vector<int>{TB_LINEDOWN, TB_ENDTRACK}));
    EXPECT_EQ(dialog.log.front().message.pos, 51);
    EXPECT_EQ(dialog.log.front().controlPos, 51) << "the control's position is set before the notification";

    dialog.log.clear();
    QTest::keyClick(track, Qt::Key_Home);
    EXPECT_EQ(Last(dialog, EMessage::HScroll, D::kTrack).message.pos, 0);
    EXPECT_EQ(dialog.Codes(EMessage::HScroll, D::kTrack), (std::vector<int>{TB_TOP, TB_ENDTRACK}));
    dialog.log.clear();
    QTest::keyClick(track, Qt::Key_PageDown);
    EXPECT_EQ(dialog.Codes(EMessage::HScroll, D::kTrack), (std::vector<int>{TB_PAGEDOWN, TB_ENDTRACK}));
    EXPECT_EQ(dialog.Item(D::kTrack).Pos(), 20) << "the default page is a fifth of the range";

    dialog.log.clear();
    const QPoint handle = SubControl(track, QStyle::CC_Slider, QStyle::SC_SliderHandle).center();
    QTest::mousePress(track, Qt::LeftButton, {}, handle);
    QTest::mouseMove(track, handle + QPoint(50, 0));
    const D::CRecord tracked = Last(dialog, EMessage::HScroll, D::kTrack);
    EXPECT_EQ(tracked.message.code, TB_THUMBTRACK);
    EXPECT_GT(tracked.message.pos, 20);
    EXPECT_EQ(tracked.controlPos, tracked.message.pos);
    QTest::mouseRelease(track, Qt::LeftButton, {}, handle + QPoint(50, 0));
    const auto codes = dialog.Codes(EMessage::HScroll, D::kTrack);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(std::vector<int>(codes.end() - 2, codes.end()), (std::vector<int>{TB_THUMBPOSITION, TB_ENDTRACK}));
    EXPECT_EQ(dialog.Messages(EMessage::HScroll, D::kTrack).back().pos, tracked.message.pos);
    EXPECT_EQ(dialog.Item(D::kTrack).Pos(), tracked.message.pos);
    EXPECT_EQ(track->value(), tracked.message.pos);
  });
}

TEST_F(QtHostTest, VerticalTrackbarHasItsMinimumAtTheTop) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* fader = WidgetAs<CTrackbarWidget>(window, D::kFader);
    dialog.Item(D::kFader).SetPos(0);
    const int top = SubControl(fader, QStyle::CC_Slider, QStyle::SC_SliderHandle).center().y();
    dialog.Item(D::kFader).SetPos(255);
    const int bottom = SubControl(fader, QStyle::CC_Slider, QStyle::SC_SliderHandle).center().y();
    EXPECT_LT(top, bottom);
    EXPECT_LT(top, fader->height() / 4);
    EXPECT_GT(bottom, fader->height() * 3 / 4);

    // Up moves the handle up the screen, toward the minimum, and the fader sends WM_VSCROLL.
    fader->setFocus();
    QTest::keyClick(fader, Qt::Key_Up);
    EXPECT_EQ(dialog.Codes(EMessage::VScroll, D::kFader), (std::vector<int>{TB_LINEUP, TB_ENDTRACK}));
    EXPECT_EQ(dialog.Item(D::kFader).Pos(), 254);

    // A click in the channel above the handle pages toward the top.
    dialog.log.clear();
    QTest::mouseClick(fader, Qt::LeftButton, {}, QPoint(fader->width() / 2, 3));
    const auto codes = dialog.Codes(EMessage::VScroll, D::kFader);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), TB_PAGEUP);
    EXPECT_EQ(codes.back(), TB_ENDTRACK);
    EXPECT_LT(dialog.Item(D::kFader).Pos(), 254);
  });
}

TEST_F(QtHostTest, UpDownStepsTowardItsUpperLimitAndReportsThePosition) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* upDown = WidgetAs<CUpDownWidget>(window, D::kUpDown);
    QTest::mouseClick(upDown->UpButton(), Qt::LeftButton);
    auto messages = dialog.Messages(EMessage::VScroll, D::kUpDown);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].code, SB_THUMBPOSITION);
    EXPECT_EQ(messages[0].pos, 4);
    EXPECT_EQ(messages[1].code, SB_ENDSCROLL);
    QTest::mouseClick(upDown->DownButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Item(D::kUpDown).Pos(), 3);

    // At the limit the position stays, and the control still reports it.
    dialog.Item(D::kUpDown).SetPos(9);
    dialog.log.clear();
    QTest::mouseClick(upDown->UpButton(), Qt::LeftButton);
    messages = dialog.Messages(EMessage::VScroll, D::kUpDown);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].pos, 9);

    // A reversed range: up goes toward the upper limit, the smaller number.
    dialog.Item(D::kUpDown).SetRange(9, 0);
    dialog.Item(D::kUpDown).SetPos(3);
    QTest::mouseClick(upDown->UpButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Item(D::kUpDown).Pos(), 2);
    QTest::mouseClick(upDown->DownButton(), Qt::LeftButton);
    QTest::mouseClick(upDown->DownButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Item(D::kUpDown).Pos(), 4);
  });
}

TEST_F(QtHostTest, ComboChoiceSelectsTheItemThenNotifies) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* combo = WidgetAs<QComboBox>(window, D::kCombo);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), "Alpha");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
  });
  ASSERT_EQ(dialog.Codes(EMessage::Command, D::kCombo), std::vector<int>{CBN_SELCHANGE});
  const D::CRecord& record = Last(dialog, EMessage::Command, D::kCombo);
  EXPECT_EQ(record.controlSelection, 1);
  EXPECT_EQ(record.controlText, "Beta");
}

TEST_F(QtHostTest, DialogChangesShowInTheWidgets) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    dialog.SetItemText(D::kButton, "Again");
    EXPECT_EQ(WidgetAs<QPushButton>(window, D::kButton)->text(), "Again");
    dialog.SetItemText(D::kLabel, "Total Step :");
    EXPECT_EQ(WidgetAs<QLabel>(window, D::kLabel)->text(), "Total Step :");
    dialog.SetItemText(D::kField, "12");
    EXPECT_EQ(WidgetAs<QLineEdit>(window, D::kField)->text(), "12");
    dialog.SetItemText(D::kGroup, "Other");
    EXPECT_EQ(WidgetAs<QGroupBox>(window, D::kGroup)->title(), "Other");

    dialog.ShowItem(D::kLabel, false);
    EXPECT_FALSE(window.Widget(D::kLabel)->isVisible());
    dialog.ShowItem(D::kLabel, true);
    EXPECT_TRUE(window.Widget(D::kLabel)->isVisible());
    dialog.EnableItem(D::kTrack, false);
    EXPECT_FALSE(window.Widget(D::kTrack)->isEnabled());

    dialog.Item(D::kBar).SetRange(0, 480);
    dialog.Item(D::kBar).SetPos(300);
    auto* bar = WidgetAs<CScrollBarWidget>(window, D::kBar);
    EXPECT_EQ(bar->maximum(), 480);
    EXPECT_EQ(bar->value(), 300);
    dialog.Item(D::kFader).SetPos(200);
    EXPECT_EQ(WidgetAs<CTrackbarWidget>(window, D::kFader)->value(), 200);
    dialog.Item(D::kProgress).SetRange(0, 200);
    dialog.Item(D::kProgress).SetPos(150);
    auto* progress = WidgetAs<QProgressBar>(window, D::kProgress);
    EXPECT_EQ(progress->maximum(), 200);
    EXPECT_EQ(progress->value(), 150);

    dialog.Item(D::kCombo).AddItem("Delta");
    dialog.Item(D::kCombo).SetSelection(3);
    auto* combo = WidgetAs<QComboBox>(window, D::kCombo);
    EXPECT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->currentText(), "Delta");

    dialog.SetTitle("Renamed");
    EXPECT_EQ(window.windowTitle(), "Renamed");
    dialog.SetFocus(D::kField);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == window.Widget(D::kField); }));
  });
  EXPECT_TRUE(dialog.Messages(EMessage::Command).empty()) << "the dialog's own changes notify nothing";
}

TEST_F(QtHostTest, ControlsStandAtTheirDialogUnitRectangles) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    const CDialogUnits& units = window.Units();
    EXPECT_EQ(window.size(), units.Size(260, 150));
    for (int id : {D::kButton, D::kField, D::kBar, D::kTrack, D::kFader, D::kUpDown, D::kProgress})
      EXPECT_EQ(window.Widget(id)->geometry(), units.Rect(dialog.Item(id).Rect())) << "control " << id;
    EXPECT_EQ(window.Widget(D::kCombo)->pos(), units.Rect(dialog.Item(D::kCombo).Rect()).topLeft());
    // A picture control takes its picture's size: the banner is 160 x 81 pixels at 96 dpi.
    EXPECT_EQ(window.Widget(D::kBitmap)->size(), QSize(units.Pixels(160), units.Pixels(81)));
    EXPECT_EQ(window.Widget(D::kIcon)->size(), QSize(units.Pixels(32), units.Pixels(32)));
    EXPECT_EQ(window.font().family(), "DejaVu Sans");
    SaveScreenshot(window, "controls.png");
  });
}
