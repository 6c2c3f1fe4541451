// The fixture panel in real widgets after the model arrangement, saved as a picture for a look at its layout.
#include "fixture/ManualAddressSetup.h"
#include "qt/DialogWindow.h"
#include "qt/QtHost.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(FixturePanelScreenshot, ArrangedPanelShowsOnlyTheModelsControls) {
  CQtHost host;
  CHost::SetCurrent(&host);
  CManualAddressSetup panel;
  bool checked = false;
  QTimer::singleShot(0, [&] {
    CDialogWindow* window = host.WindowOf(panel);
    ASSERT_NE(window, nullptr);
    auto* models = qobject_cast<QComboBox*>(window->Widget(CManualAddressSetup::kModelList));
    ASSERT_NE(models, nullptr);
    EXPECT_FALSE(models->isEnabled());
    // The 5 s waiting phase, tick by tick without waiting for it.
    for (int tick = 0; tick < CManualAddressSetup::kWaitingTicks; ++tick) panel.Dispatch({EMessage::Timer, 1, 0, 0});
    ASSERT_TRUE(models->isEnabled());
    models->setCurrentIndex(0);
    Q_EMIT models->activated(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Widget(1102)->isHidden(); }, 2000));

    EXPECT_EQ(qobject_cast<QPushButton*>(window->Widget(1002))->text(), "3CH(RGB)");
    EXPECT_EQ(qobject_cast<QPushButton*>(window->Widget(1101))->text(), "6CH(RGBCDS)");
    EXPECT_TRUE(window->Widget(1291)->isHidden());
    EXPECT_TRUE(window->Widget(1013)->isHidden());
    EXPECT_TRUE(window->Widget(1272)->isHidden());
    EXPECT_TRUE(window->Widget(1001)->isEnabled());
    EXPECT_FALSE(window->Widget(1106)->isEnabled());
    EXPECT_EQ(qobject_cast<QAbstractSlider*>(window->Widget(1040))->value(), 245);
    EXPECT_EQ(qobject_cast<QLabel*>(window->Widget(1099))->text(), "245");

    const QImage picture = window->grab().toImage();
    EXPECT_TRUE(picture.save(VEXMIRA_BINARY_DIR "/fixture-panel-arranged.png"));
    checked = true;
    window->reject();
  });
  panel.DoModal();
  CHost::SetCurrent(nullptr);
  EXPECT_TRUE(checked);
}
