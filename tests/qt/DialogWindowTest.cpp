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
#include <QTest>
#include <QToolButton>

class DialogWindow : public QtHost {};

using D = CFakeDialog;
using Codes = std::vector<int>;

TEST_F(DialogWindow, TypingReachesTheFieldAndLeavingItNotifiesBeforeTheClickThatMovesTheFocus) {
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
    QTest::mouseClick(window.Widget(D::kButton), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.Codes(EMessage::Command, D::kField), (Codes{EN_CHANGE, EN_CHANGE, EN_CHANGE, EN_KILLFOCUS}));
  std::vector<std::pair<int, int>> order;
  for (const auto& record : dialog.log)
    if (record.message.kind == EMessage::Command && record.message.code != EN_CHANGE)
      order.emplace_back(record.message.id, record.message.code);
  EXPECT_EQ(order, (std::vector<std::pair<int, int>>{{D::kField, EN_KILLFOCUS}, {D::kButton, BN_CLICKED}}));
  EXPECT_EQ(dialog.Last(EMessage::Command, D::kButton).focusId, D::kButton);
}

TEST_F(DialogWindow, FieldThatRefusesItsContentTakesTheFocusBackAndTheClickIsLost) {
  D dialog;
  dialog.onMessage = [&](const CMessage& message) {
    if (message.kind != EMessage::Command || message.id != D::kField || message.code != EN_KILLFOCUS ||
        dialog.ItemText(D::kField) != "999")
      return false;
    dialog.MessageBox("DMX Address Must Range in 1 to 512", EMessageIcon::Warning);
    dialog.SetItemText(D::kField, "1");
    dialog.SetFocus(D::kField);
    return true;
  };
  CBoxAnswerer boxes;
  const QWidget* owner = nullptr;
  Run(dialog, [&](CDialogWindow& window) {
    owner = &window;
    auto* field = WidgetAs<QLineEdit>(window, D::kField);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, "999");
    QTest::mouseClick(window.Widget(D::kButton), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == field; }));
    EXPECT_EQ(field->text(), "1");
  });
  EXPECT_TRUE(dialog.Messages(EMessage::Command, D::kButton).empty()) << "the click must be lost";
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_EQ(boxes.seen[0].text, "DMX Address Must Range in 1 to 512");
  EXPECT_EQ(boxes.seen[0].parent, owner) << "the box is owned by the dialog's window";
}

TEST_F(DialogWindow, ScrollBarReportsEveryActionButMovesOnlyWhereTheDialogSetsIt) {
  D dialog;
  const auto take = [&] {  // the bar's codes since the last take
    const Codes codes = dialog.Codes(EMessage::HScroll, D::kBar);
    dialog.log.clear();
    return codes;
  };
  Run(dialog, [&](CDialogWindow& window) {
    auto* bar = WidgetAs<CScrollBarWidget>(window, D::kBar);
    ASSERT_EQ(bar->value(), 10);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(take(), (Codes{SB_LINERIGHT, SB_PAGELEFT}));
    EXPECT_EQ(bar->value(), 1);
    // End goes to SB_RIGHT, which this dialog ignores; the key's release ends the action.
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_End);
    EXPECT_EQ(take(), (Codes{SB_RIGHT, SB_ENDSCROLL}));
    EXPECT_EQ(bar->value(), 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, SubControl(bar, QStyle::SC_ScrollBarAddLine).center());
    EXPECT_EQ(take(), (Codes{SB_LINERIGHT, SB_ENDSCROLL}));
    EXPECT_EQ(bar->value(), 2);

    // A drag: tracking with the dragged position, then the release.
    const auto drag = [&](int dx) {  // presses on the thumb and moves; returns where the mouse is
      const QPoint thumb = SubControl(bar, QStyle::SC_ScrollBarSlider).center();
      QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
      QTest::mouseMove(bar, thumb + QPoint(dx, 0));
      return thumb + QPoint(dx, 0);
    };
    QPoint at = drag(60);
    const CMessage track = dialog.Last(EMessage::HScroll, D::kBar).message;
    EXPECT_EQ(track.code, SB_THUMBTRACK);
    EXPECT_GT(track.pos, 2);
    EXPECT_EQ(bar->value(), track.pos);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
    const auto messages = dialog.Messages(EMessage::HScroll, D::kBar);
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(Codes({messages.end()[-2].code, messages.end()[-2].pos, messages.back().code}),
              (Codes{SB_THUMBPOSITION, track.pos, SB_ENDSCROLL}));

    // A dialog that refuses: the bar stays where it was, whatever the user does.
    dialog.refuseScroll = true;
    const int before = bar->value();
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(dialog.Last(EMessage::HScroll, D::kBar).message.code, SB_PAGERIGHT);
    EXPECT_EQ(bar->value(), before);
    at = drag(-40);
    EXPECT_EQ(dialog.Last(EMessage::HScroll, D::kBar).message.code, SB_THUMBTRACK);
    EXPECT_EQ(bar->sliderPosition(), before);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, at);
    EXPECT_EQ(bar->value(), before);
    EXPECT_EQ(dialog.Item(D::kBar).Pos(), before);
  });
}

TEST_F(DialogWindow, TrackbarMovesItselfThenReportsItsNewPositionAndAVerticalOneHasItsMinimumAtTheTop) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* track = WidgetAs<CTrackbarWidget>(window, D::kTrack);
    track->setFocus();
    const struct {
      Qt::Key key;
      int code;
      int pos;
    } keys[] = {{Qt::Key_Right, TB_LINEDOWN, 51}, {Qt::Key_Home, TB_TOP, 0}, {Qt::Key_PageDown, TB_PAGEDOWN, 20}};
    for (const auto& step : keys) {  // the default page is a fifth of the range
      dialog.log.clear();
      QTest::keyClick(track, step.key);
      EXPECT_EQ(dialog.Codes(EMessage::HScroll, D::kTrack), (Codes{step.code, TB_ENDTRACK})) << step.key;
      EXPECT_EQ(dialog.log.front().message.pos, step.pos);
      EXPECT_EQ(dialog.log.front().controlPos, step.pos) << "the position is set before the notification";
    }

    dialog.log.clear();
    const QPoint handle = SubControl(track, QStyle::SC_SliderHandle).center();
    QTest::mousePress(track, Qt::LeftButton, {}, handle);
    QTest::mouseMove(track, handle + QPoint(50, 0));
    const D::CRecord tracked = dialog.Last(EMessage::HScroll, D::kTrack);
    EXPECT_EQ(tracked.message.code, TB_THUMBTRACK);
    EXPECT_GT(tracked.message.pos, 20);
    EXPECT_EQ(tracked.controlPos, tracked.message.pos);
    QTest::mouseRelease(track, Qt::LeftButton, {}, handle + QPoint(50, 0));
    const Codes codes = dialog.Codes(EMessage::HScroll, D::kTrack);
    ASSERT_GE(codes.size(), 3u);
    EXPECT_EQ(Codes(codes.end() - 2, codes.end()), (Codes{TB_THUMBPOSITION, TB_ENDTRACK}));
    EXPECT_EQ(dialog.Messages(EMessage::HScroll, D::kTrack).back().pos, tracked.message.pos);
    EXPECT_EQ(dialog.Item(D::kTrack).Pos(), tracked.message.pos);
    EXPECT_EQ(track->value(), tracked.message.pos);

    // Up moves a vertical fader up the screen, toward the minimum, and it sends WM_VSCROLL.
    auto* fader = WidgetAs<CTrackbarWidget>(window, D::kFader);
    dialog.Item(D::kFader).SetPos(255);
    fader->setFocus();
    QTest::keyClick(fader, Qt::Key_Up);
    EXPECT_EQ(dialog.Codes(EMessage::VScroll, D::kFader), (Codes{TB_LINEUP, TB_ENDTRACK}));
    EXPECT_EQ(dialog.Item(D::kFader).Pos(), 254);
  });
}

TEST_F(DialogWindow, UpDownStepsTowardItsUpperLimitAndReportsThePosition) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* upDown = WidgetAs<CUpDownWidget>(window, D::kUpDown);
    const auto click = [&](QToolButton* button) {
      dialog.log.clear();
      QTest::mouseClick(button, Qt::LeftButton);
      const auto messages = dialog.Messages(EMessage::VScroll, D::kUpDown);
      EXPECT_EQ(messages.size(), 2u);
      EXPECT_EQ(messages.at(0).code, SB_THUMBPOSITION);
      EXPECT_EQ(messages.at(1).code, SB_ENDSCROLL);
      EXPECT_EQ(messages.at(0).pos, dialog.Item(D::kUpDown).Pos());
      return messages.at(0).pos;
    };
    EXPECT_EQ(click(upDown->UpButton()), 4);
    EXPECT_EQ(click(upDown->DownButton()), 3);
    dialog.Item(D::kUpDown).SetPos(9);
    EXPECT_EQ(click(upDown->UpButton()), 9) << "at the limit the position stays and is reported";
    // A reversed range: up goes toward the upper limit, the smaller number.
    dialog.Item(D::kUpDown).SetRange(9, 0);
    dialog.Item(D::kUpDown).SetPos(3);
    EXPECT_EQ(click(upDown->UpButton()), 2);
    click(upDown->DownButton());
    EXPECT_EQ(click(upDown->DownButton()), 4);
  });
}

TEST_F(DialogWindow, ComboChoiceSelectsTheItemThenNotifies) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    auto* combo = WidgetAs<QComboBox>(window, D::kCombo);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), "Alpha");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
  });
  ASSERT_EQ(dialog.Codes(EMessage::Command, D::kCombo), Codes{CBN_SELCHANGE});
  const D::CRecord& record = dialog.Last(EMessage::Command, D::kCombo);
  EXPECT_EQ(record.controlSelection, 1);
  EXPECT_EQ(record.controlText, "Beta");
}

TEST_F(DialogWindow, DialogChangesShowInTheWidgets) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    dialog.SetItemText(D::kButton, "Again");
    dialog.SetItemText(D::kLabel, "Total Step :");
    dialog.SetItemText(D::kField, "12");
    dialog.SetItemText(D::kGroup, "Other");
    EXPECT_EQ((QStringList{WidgetAs<QPushButton>(window, D::kButton)->text(),
                           WidgetAs<QLabel>(window, D::kLabel)->text(),
                           WidgetAs<QLineEdit>(window, D::kField)->text(),
                           WidgetAs<QGroupBox>(window, D::kGroup)->title()}),
              (QStringList{"Again", "Total Step :", "12", "Other"}));
    dialog.ShowItem(D::kLabel, false);
    EXPECT_FALSE(window.Widget(D::kLabel)->isVisible());
    dialog.ShowItem(D::kLabel, true);
    EXPECT_TRUE(window.Widget(D::kLabel)->isVisible());
    dialog.EnableItem(D::kTrack, false);
    EXPECT_FALSE(window.Widget(D::kTrack)->isEnabled());

    dialog.Item(D::kBar).SetRange(0, 480);
    dialog.Item(D::kBar).SetPos(300);
    dialog.Item(D::kFader).SetPos(200);
    dialog.Item(D::kProgress).SetRange(0, 200);
    dialog.Item(D::kProgress).SetPos(150);
    auto* bar = WidgetAs<CScrollBarWidget>(window, D::kBar);
    auto* progress = WidgetAs<QProgressBar>(window, D::kProgress);
    EXPECT_EQ((Codes{bar->maximum(), bar->value(), WidgetAs<CTrackbarWidget>(window, D::kFader)->value(),
                     progress->maximum(), progress->value()}),
              (Codes{480, 300, 200, 200, 150}));
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

TEST_F(DialogWindow, ControlsStandAtTheirDialogUnitRectangles) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    const CDialogUnits& units = window.Units();
    EXPECT_EQ(window.size(), units.Size(260, 150));
    for (int id : {D::kButton, D::kField, D::kBar, D::kTrack, D::kFader, D::kUpDown, D::kProgress})
      EXPECT_EQ(window.Widget(id)->geometry(), units.Rect(dialog.Item(id).Rect())) << "control " << id;
    EXPECT_EQ(window.Widget(D::kCombo)->pos(), units.Rect(dialog.Item(D::kCombo).Rect()).topLeft());
    // A picture control takes its picture's size: the banner is 160 x 81 pixels at 96 dpi.
    EXPECT_EQ(window.Widget(D::kBitmap)->size(), QSize(units.Pixels(160), units.Pixels(81)));
    EXPECT_FALSE(WidgetAs<QLabel>(window, D::kBitmap)->pixmap().isNull()) << "the banner is built in";
    EXPECT_EQ(window.Widget(D::kIcon)->size(), QSize(units.Pixels(32), units.Pixels(32)));
    EXPECT_EQ(window.font().family(), "DejaVu Sans");
    SaveScreenshot(window, "controls.png");
  });
}
