// A field's check on losing the focus runs before the next field takes keys or a button is pressed.
#include "addressing/FixtureStandardSetup.h"
#include "link/DmxLine.h"
#include "link/OutputFactory.h"
#include "qt/DialogWindow.h"
#include "qt/QtHost.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(FieldCheck, AddressTypedAfterChoosingAFixtureIsSavedForThatFixture) {
  CDmxLine::Instance().Reset();
  CDmxLine::Instance().SetOutput(std::move(*MakeOutput("virtual")));
  CQtHost host;
  CHost::SetCurrent(&host);
  CFixtureStandardSetup dialog;
  bool done = false;
  QTimer::singleShot(0, [&] {
    CDialogWindow* window = host.WindowOf(dialog);
    ASSERT_NE(window, nullptr);
    for (int tick = 0; tick < 200; ++tick) dialog.Dispatch({EMessage::Timer, 1, 0, 0});
    auto* fixture = qobject_cast<QLineEdit*>(window->Widget(1008));
    auto* address = qobject_cast<QLineEdit*>(window->Widget(1005));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture->isVisible(); }, 2000));
    // The user clicks into the fixture field, types 2, clicks into the address field and types
    // 300 at once, then presses Save.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::mouseClick(fixture, Qt::LeftButton);
    fixture->selectAll();
    QTest::keyClicks(fixture, "2");
    QTest::mouseClick(address, Qt::LeftButton);
    QTest::keyClicks(address, "300");
    EXPECT_EQ(dialog.ItemText(1005), "300");
    QTest::mouseClick(window->Widget(1000), Qt::LeftButton);
    dialog.Dispatch({EMessage::Timer, 1, 0, 0});
    const auto frame = CDmxLine::Instance().LastFrame();
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->slots[3], 1);   // fixture 2's address, high byte
    EXPECT_EQ(frame->slots[4], 44);  // and low byte
    EXPECT_EQ(frame->slots[5], 255); // fixture 2 is flagged
    done = true;
    dialog.Dispatch({EMessage::Close, 0, 0, 0});
  });
  dialog.DoModal();
  CHost::SetCurrent(nullptr);
  CDmxLine::Instance().Reset();
  EXPECT_TRUE(done);
}
