// A field's check on losing the focus runs before the next field takes keys or a button is pressed.
#include "FakeDialog.h"
#include "addressing/FixtureStandardSetup.h"
#include "link/DmxLine.h"

#include <QLineEdit>
#include <QTest>

class FieldCheck : public QtHost {};

TEST_F(FieldCheck, AddressTypedAfterChoosingAFixtureIsSavedForThatFixture) {
  CVirtualLine line;
  CFixtureStandardSetup dialog(line.Line());
  bool done = false;
  Run(dialog, [&](CDialogWindow& window) {
    for (int tick = 0; tick < 200; ++tick) dialog.Dispatch({EMessage::Timer, 1, 0, 0});
    auto* fixture = WidgetAs<QLineEdit>(window, 1008);
    auto* address = WidgetAs<QLineEdit>(window, 1005);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fixture->isVisible(); }, 2000));
    // The user clicks into the fixture field, types 2, clicks into the address field and types
    // 300 at once, then presses Save.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(fixture, Qt::LeftButton);
    fixture->selectAll();
    QTest::keyClicks(fixture, "2");
    QTest::mouseClick(address, Qt::LeftButton);
    QTest::keyClicks(address, "300");
    EXPECT_EQ(dialog.ItemText(1005), "300");
    QTest::mouseClick(window.Widget(1000), Qt::LeftButton);
    dialog.Dispatch({EMessage::Timer, 1, 0, 0});
    const auto frame = line.Line().Status().lastFrame;
    ASSERT_TRUE(frame.has_value());
    // Fixture 2's address, high and low byte, and its flag.
    EXPECT_EQ(std::vector<int>(frame->slots.begin() + 3, frame->slots.begin() + 6), (std::vector<int>{1, 44, 255}));
    done = true;
    dialog.Dispatch({EMessage::Close, 0, 0, 0});
  });
  EXPECT_TRUE(done);
}
