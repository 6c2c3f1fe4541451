// The addressing, firmware and fixture tools in real widgets, in their working states, saved as pictures.
#include "FakeDialog.h"
#include "addressing/AutoAddressSetup.h"
#include "addressing/FixtureStandardSetup.h"
#include "firmware/FirmwareUpgrade.h"
#include "fixture/ManualAddressSetup.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

class ToolScreenshot : public QtHost {
 protected:
  // Opens a dialog on the virtual line, lets `act` work in its window, then closes it.
  template <class D>
  void WithWindow(const std::function<void(D&, CDialogWindow&)>& act) {
    CVirtualLine line;
    D dialog(line.Line());
    Run(dialog, [&](CDialogWindow& window) {
      act(dialog, window);
      dialog.Dispatch({EMessage::Close, 0, 0, 0});
    });
  }
  static void Tick(CDialog& dialog, int ticks) {
    for (int tick = 0; tick < ticks; ++tick) dialog.Dispatch({EMessage::Timer, 1, 0, 0});
  }
};

TEST_F(ToolScreenshot, AutoAddressSetupIdleAndRunning) {
  WithWindow<CAutoAddressSetup>([](CAutoAddressSetup& dialog, CDialogWindow& window) {
    EXPECT_EQ(WidgetAs<QLineEdit>(window, 1005)->text(), "1");
    SaveScreenshot(window, "auto-address-idle.png");
    dialog.Dispatch({EMessage::Command, 1000, BN_CLICKED, 0});
    Tick(dialog, 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Widget(1272)->isVisible(); }, 2000));
    EXPECT_EQ(WidgetAs<QProgressBar>(window, 1272)->value(), 100);
    SaveScreenshot(window, "auto-address-running.png");
  });
}

TEST_F(ToolScreenshot, ManualAddressSetupAfterItsWaitingPhase) {
  WithWindow<CFixtureStandardSetup>([](CFixtureStandardSetup& dialog, CDialogWindow& window) {
    SaveScreenshot(window, "manual-address-waiting.png");
    Tick(dialog, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Widget(1000)->isVisible(); }, 2000));
    SaveScreenshot(window, "manual-address.png");
  });
}

TEST_F(ToolScreenshot, FirmwareUpgradeWithAPath) {
  WithWindow<CFirmwareUpgrade>([](CFirmwareUpgrade& dialog, CDialogWindow& window) {
    dialog.SetItemText(CFirmwareUpgrade::kPath, VEXMIRA_SOURCE_DIR "/tests/scenarios/firmware-small.zku");
    dialog.Dispatch({EMessage::Command, CFirmwareUpgrade::kUpgrade, BN_CLICKED, 0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Widget(CFirmwareUpgrade::kProgress)->isVisible(); }, 2000));
    SaveScreenshot(window, "firmware-upgrade.png");
  });
}

TEST_F(ToolScreenshot, FixturePanelAfterTheModelArrangement) {
  WithWindow<CManualAddressSetup>([](CManualAddressSetup& panel, CDialogWindow& window) {
    auto* models = WidgetAs<QComboBox>(window, CManualAddressSetup::kModelList);
    ASSERT_NE(models, nullptr);
    EXPECT_FALSE(models->isEnabled());
    Tick(panel, CManualAddressSetup::kWaitingTicks);  // the 5 s waiting phase
    ASSERT_TRUE(models->isEnabled());
    models->setCurrentIndex(0);
    Q_EMIT models->activated(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Widget(1102)->isHidden(); }, 2000));
    EXPECT_EQ(WidgetAs<QPushButton>(window, 1002)->text(), "3CH(RGB)");
    EXPECT_EQ(WidgetAs<QAbstractSlider>(window, 1040)->value(), 245);
    EXPECT_EQ(WidgetAs<QLabel>(window, 1099)->text(), "245");
    SaveScreenshot(window, "fixture-panel-arranged.png");
  });
}
