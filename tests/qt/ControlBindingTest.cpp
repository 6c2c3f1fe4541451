// One test per control kind: the widget shows the control's state, and the user's actions come back as notifications.
#include "QtHostFixture.h"
#include "qt/ScrollBarWidget.h"
#include "qt/TrackbarWidget.h"
#include "qt/UpDownWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

using D = CFakeDialog;
class ControlBinding : public QtHost {
 protected:
  D dialog;
};

TEST_F(ControlBinding, WidgetsStandAtTheirControlsRectanglePicturesAtTheirSizeAndHideOrDisableWithThem) {
  Run(dialog, [&](CDialogWindow& window) {
    for (const int id : {D::kButton, D::kField, D::kGroup, D::kBar, D::kTrack, D::kUpDown, D::kProgress})
      EXPECT_EQ(window.Widget(id)->geometry(), RectOf(window, id)) << id;
    // A text, a combo box and a picture take the height of their text, box and picture.
    for (const int id : {D::kLabel, D::kCombo, D::kBitmap, D::kIcon})
      EXPECT_EQ(window.Widget(id)->pos(), RectOf(window, id).topLeft()) << id;
    const CDialogUnits& units = window.Units();
    EXPECT_EQ(window.Widget(D::kBitmap)->size(), QSize(units.Pixels(160), units.Pixels(81)));
    EXPECT_EQ(window.Widget(D::kIcon)->size(), QSize(units.Pixels(32), units.Pixels(32)));
    dialog.ShowItem(D::kLabel, false);
    dialog.EnableItem(D::kButton, false);
    EXPECT_FALSE(window.Widget(D::kLabel)->isVisible() || window.Widget(D::kButton)->isEnabled());
    dialog.ShowItem(D::kLabel, true);
    EXPECT_TRUE(window.Widget(D::kLabel)->isVisible());
  });
}

TEST_F(ControlBinding, StaticTextGroupBoxProgressBarAndPicturesShowWhatTheDialogSets) {
  Run(dialog, [&](CDialogWindow& window) {
    auto* group = WidgetAs<QGroupBox>(window, D::kGroup);
    dialog.SetItemText(D::kLabel, "Total Step :");
    dialog.SetItemText(D::kGroup, "Other");
    EXPECT_EQ(WidgetAs<QLabel>(window, D::kLabel)->text() + "|" + group->title(), "Total Step :|Other");
    // The group box stands behind the controls it holds and lets their clicks through.
    EXPECT_LT(window.children().indexOf(group), window.children().indexOf(window.Widget(D::kFader)));
    EXPECT_TRUE(group->testAttribute(Qt::WA_TransparentForMouseEvents));
    auto* progress = WidgetAs<QProgressBar>(window, D::kProgress);
    dialog.Item(D::kProgress).SetRange(0, 200);
    dialog.Item(D::kProgress).SetPos(150);
    EXPECT_EQ(Seen(progress->maximum(), progress->value()), Seen(200, 150));
    dialog.Item(D::kProgress).SetRange(0, 0);
    EXPECT_GT(progress->maximum(), progress->minimum()) << "never a busy indicator";
    EXPECT_FALSE(WidgetAs<QLabel>(window, D::kBitmap)->pixmap().isNull()) << "the banner is built in";
    EXPECT_FALSE(WidgetAs<QLabel>(window, D::kIcon)->pixmap().isNull());
    EXPECT_FALSE(window.windowIcon().isNull()) << "the dialog's icon";
  });
}

TEST_F(ControlBinding, PushButtonShowsItsTextAndAClickOrEnterPressesIt) {
  const int result = Run(dialog, [&](CDialogWindow& window) {
    auto* button = WidgetAs<QPushButton>(window, D::kButton);
    dialog.SetItemText(D::kButton, "Again");
    EXPECT_EQ(button->text(), "Again");
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClick(button, Qt::Key_Return);  // the focused button takes Enter
    EXPECT_EQ(dialog.Take(D::kButton), (Strings{Seen(BN_CLICKED, 0), Seen(BN_CLICKED, 0)}));
    QTest::keyClick(window.Widget(D::kNextField), Qt::Key_Return);  // elsewhere: the default button
  });
  EXPECT_EQ(result, IDOK);
}

TEST_F(ControlBinding, CheckBoxShowsItsTickAndAClickOrSpaceTicksItThenNotifies) {
  Run(dialog, [&](CDialogWindow& window) {
    auto* box = WidgetAs<QCheckBox>(window, D::kCheck);
    dialog.Item(D::kCheck).SetChecked(true);
    EXPECT_EQ(box->text() + (box->isChecked() ? " ticked" : ""), "Tick ticked");
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(dialog.Item(D::kCheck).IsChecked());
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(dialog.Item(D::kCheck).IsChecked());
    EXPECT_EQ(dialog.Take(D::kCheck), Strings(2, Seen(BN_CLICKED, 0)));
  });
}

TEST_F(ControlBinding, EditFieldTakesDigitsAndIsCheckedOnLeavingBeforeTheClickOrKeysThatFollow) {
  // The field refuses 999 as a range check does; any other text empties the next field.
  dialog.onMessage = [&](const CMessage& m) {
    if (m.kind != EMessage::Command || m.id != D::kField || m.code != EN_KILLFOCUS) return false;
    if (dialog.ItemText(D::kField) != "999") return dialog.SetItemText(D::kNextField, ""), true;
    dialog.MessageBox("DMX Address Must Range in 1 to 512", EMessageIcon::Warning);
    dialog.SetItemText(D::kField, "1");
    dialog.SetFocus(D::kField);
    return true;
  };
  std::vector<CBoxSeen> boxes;
  const auto answerer = AnswerBoxes(boxes);
  Run(dialog, [&](CDialogWindow& window) {
    auto* field = WidgetAs<QLineEdit>(window, D::kField);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, "4a2");
    EXPECT_EQ(dialog.ItemText(D::kField), "42") << "a digits-only field refuses letters";
    dialog.SetItemText(D::kField, "7");
    QTest::keyClicks(field, "5");  // typing goes on from the dialog's text, never echoed back
    EXPECT_EQ(dialog.Take(D::kField), (Strings(3, Seen(EN_CHANGE, 0))));
    EXPECT_EQ(field->text().toStdString() + dialog.ItemText(D::kField), "7575");

    dialog.SetItemText(D::kNextField, "old");
    QTest::keyClick(field, Qt::Key_Tab);
    QTest::keyClicks(window.Widget(D::kNextField), "300");  // typed at once: the check runs first
    EXPECT_FALSE(QTest::qWaitFor([&] { return dialog.ItemText(D::kNextField) != "300"; }, 50));

    // A check that takes the focus back loses the press that took it (here on the scroll bar).
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, "999");
    dialog.log.clear();
    QTest::mouseClick(window.Widget(D::kBar), Qt::LeftButton, {}, QPoint(window.Widget(D::kBar)->width() - 3, 3));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == field && !boxes.empty(); }));
    EXPECT_EQ(field->text(), "1");
    EXPECT_TRUE(dialog.Take(D::kBar).empty()) << "the press is lost";
  });
}

TEST_F(ControlBinding, ScrollBarReportsEveryActionButMovesOnlyWhereTheDialogSetsIt) {
  Run(dialog, [&](CDialogWindow& window) {
    auto* bar = WidgetAs<CScrollBarWidget>(window, D::kBar);
    dialog.Item(D::kBar).SetRange(0, 480);
    dialog.Item(D::kBar).SetPos(10);
    EXPECT_EQ(Seen(bar->maximum(), bar->value()), Seen(480, 10));
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(dialog.Take(D::kBar), (Strings{Seen(SB_LINERIGHT, 10), Seen(SB_PAGELEFT, 11)}));
    EXPECT_EQ(bar->value(), 1);
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_End);  // ignored by the dialog; the key's release ends the action
    EXPECT_EQ(dialog.Take(D::kBar), (Strings{Seen(SB_RIGHT, 1), Seen(SB_ENDSCROLL, 1)}));
    // A drag tracks with the dragged position, then releases it; a refusing dialog keeps the bar.
    for (const bool refuse : {false, true}) {
      dialog.refuseScroll = refuse;
      dialog.Item(D::kBar).SetPos(240);  // the thumb in the middle
      Drag(bar, QPoint(60, 0));
      const Strings seen = dialog.Take(D::kBar);
      ASSERT_EQ(seen.size(), 3u);
      const int dragged = std::stoi(seen[1].substr(2));
      const int kept = refuse ? 240 : dragged;
      EXPECT_GT(dragged, 240);
      EXPECT_EQ(seen,
                (Strings{Seen(SB_THUMBTRACK, dragged), Seen(SB_THUMBPOSITION, dragged), Seen(SB_ENDSCROLL, kept)}));
      EXPECT_EQ(Seen(bar->value(), dialog.Item(D::kBar).Pos()), Seen(kept, kept));
    }
  });
}

TEST_F(ControlBinding, TrackbarMovesItselfThenReportsByKeyWheelAndDragAndAVerticalOneHasItsMinimumAtTheTop) {
  Run(dialog, [&](CDialogWindow& window) {
    auto* track = WidgetAs<CTrackbarWidget>(window, D::kTrack);
    track->setFocus();
    // The page is a fifth of the range; the control stands at its new place when the dialog hears.
    using Step = std::tuple<Qt::Key, int, int>;
    for (const auto& [key, code, pos] : {Step{Qt::Key_Right, TB_LINEDOWN, 51}, Step{Qt::Key_Home, TB_TOP, 0},
                                         Step{Qt::Key_PageDown, TB_PAGEDOWN, 20}}) {
      QTest::keyClick(track, key);
      EXPECT_EQ(dialog.log.front().pos, pos);
      EXPECT_EQ(dialog.Take(D::kTrack), (Strings{Seen(code, pos), Seen(TB_ENDTRACK, pos)}));
    }
    dialog.Item(D::kTrack).SetRange(0, 10);  // held in the new range, in the control as on screen
    EXPECT_EQ(Seen(track->value(), dialog.Item(D::kTrack).Pos()), Seen(10, 10));
    // A fader sends WM_VSCROLL; Up, the wheel and a drag up the screen go toward its minimum.
    auto* fader = WidgetAs<CTrackbarWidget>(window, D::kFader);
    dialog.Item(D::kFader).SetPos(255);
    EXPECT_EQ(fader->value(), 255);
    fader->setFocus();
    QTest::keyClick(fader, Qt::Key_Up);
    EXPECT_EQ(dialog.log.front().message.kind, EMessage::VScroll);
    EXPECT_EQ(dialog.Take(D::kFader), (Strings{Seen(TB_LINEUP, 254), Seen(TB_ENDTRACK, 254)}));
    QWheelEvent up({5, 5}, fader->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(fader, &up);  // a step of the wheel is three lines
    EXPECT_EQ(dialog.Take(D::kFader), (Strings{Seen(TB_LINEUP, 251), Seen(TB_ENDTRACK, 251)}));
    dialog.Item(D::kFader).SetPos(128);
    Drag(fader, QPoint(0, -fader->height()));
    EXPECT_EQ(dialog.Take(D::kFader),
              (Strings{Seen(TB_THUMBTRACK, 0), Seen(TB_THUMBPOSITION, 0), Seen(TB_ENDTRACK, 0)}));
  });
}

TEST_F(ControlBinding, UpDownStepsTowardItsUpperLimitAndReportsThePosition) {
  Run(dialog, [&](CDialogWindow& window) {
    auto* upDown = WidgetAs<CUpDownWidget>(window, D::kUpDown);
    const auto click = [&](QToolButton* arrow) {
      QTest::mouseClick(arrow, Qt::LeftButton);
      const int pos = dialog.Item(D::kUpDown).Pos();
      EXPECT_EQ(dialog.Take(D::kUpDown), (Strings{Seen(SB_THUMBPOSITION, pos), Seen(SB_ENDSCROLL, pos)}));
      return pos;
    };
    EXPECT_EQ(click(upDown->UpButton()), 4);
    EXPECT_EQ(click(upDown->DownButton()), 3);
    dialog.Item(D::kUpDown).SetPos(9);
    EXPECT_EQ(click(upDown->UpButton()), 9) << "at the limit the position stays and is reported";
    dialog.Item(D::kUpDown).SetRange(9, 0);  // reversed: up goes toward the smaller number
    EXPECT_EQ(click(upDown->UpButton()), 8);
  });
}

TEST_F(ControlBinding, ComboBoxShowsItemsAndSelectionAndAChoiceSelectsThenNotifies) {
  Run(dialog, [&](CDialogWindow& window) {
    auto* combo = WidgetAs<QComboBox>(window, D::kCombo);
    EXPECT_EQ(combo->currentText(), "Alpha");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(dialog.log.at(0).text, "Beta") << "selected before the notification";
    EXPECT_EQ(dialog.Take(D::kCombo), Strings{Seen(CBN_SELCHANGE, 0)});
    dialog.Item(D::kCombo).AddItem("Delta");
    dialog.Item(D::kCombo).SetSelection(3);
    EXPECT_EQ(Seen(combo->count(), combo->currentIndex()), Seen(4, 3));
  });
}
