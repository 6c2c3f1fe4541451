// The addressing and firmware tools in real widgets, in their working states, saved as pictures.
#include "FakeDialog.h"
#include "addressing/AutoAddressSetup.h"
#include "addressing/FixtureStandardSetup.h"
#include "firmware/FirmwareUpgrade.h"
#include "link/DmxLine.h"
#include "link/OutputFactory.h"
#include "qt/DialogWindow.h"
#include "qt/QtHost.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Opens a dialog on the Qt host, lets `act` work in its window, then closes it.
template <class D>
void WithWindow(const std::function<void(D&, CDialogWindow&)>& act) {
  CDmxLine::Instance().Reset();
  CDmxLine::Instance().SetOutput(std::move(*MakeOutput("virtual")));
  CQtHost host;
  CHost::SetCurrent(&host);
  D dialog;
  QTimer::singleShot(0, [&] {
    CDialogWindow* window = host.WindowOf(dialog);
    ASSERT_NE(window, nullptr);
    act(dialog, *window);
    dialog.Dispatch({EMessage::Close, 0, 0, 0});
  });
  dialog.DoModal();
  CHost::SetCurrent(nullptr);
  CDmxLine::Instance().Reset();
}

}  // namespace

TEST(ToolScreenshot, AutoAddressSetupIdleAndRunning) {
  WithWindow<CAutoAddressSetup>([](CAutoAddressSetup& dialog, CDialogWindow& window) {
    auto* field = qobject_cast<QLineEdit*>(window.Widget(1005));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), "1");
    SaveScreenshot(window, "auto-address-idle.png");
    dialog.Dispatch({EMessage::Command, 1000, BN_CLICKED, 0});
    for (int tick = 0; tick < 100; ++tick) dialog.Dispatch({EMessage::Timer, 1, 0, 0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Widget(1272)->isVisible(); }, 2000));
    EXPECT_EQ(qobject_cast<QProgressBar*>(window.Widget(1272))->value(), 100);
    SaveScreenshot(window, "auto-address-running.png");
  });
}

TEST(ToolScreenshot, ManualAddressSetupAfterItsWaitingPhase) {
  WithWindow<CFixtureStandardSetup>([](CFixtureStandardSetup& dialog, CDialogWindow& window) {
    SaveScreenshot(window, "manual-address-waiting.png");
    for (int tick = 0; tick < 200; ++tick) dialog.Dispatch({EMessage::Timer, 1, 0, 0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Widget(1000)->isVisible(); }, 2000));
    SaveScreenshot(window, "manual-address.png");
  });
}

TEST(ToolScreenshot, FirmwareUpgradeWithAPath) {
  WithWindow<CFirmwareUpgrade>([](CFirmwareUpgrade& dialog, CDialogWindow& window) {
    dialog.SetItemText(CFirmwareUpgrade::kPath, VEXMIRA_SOURCE_DIR "/tests/scenarios/firmware-small.zku");
    dialog.Dispatch({EMessage::Command, CFirmwareUpgrade::kUpgrade, BN_CLICKED, 0});
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Widget(CFirmwareUpgrade::kProgress)->isVisible(); }, 2000));
    SaveScreenshot(window, "firmware-upgrade.png");
  });
}
