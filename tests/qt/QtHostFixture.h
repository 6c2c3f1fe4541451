// Test helpers for the Qt host: a fixture that runs dialogs, pollers that answer boxes and menus, a drag.
#pragma once
#include "qt/DialogWindow.h"
#include "qt/QtHost.h"
#include "support/FakeDialog.h"

#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Runs `step` every few milliseconds until it returns true or the timer goes.
std::unique_ptr<QTimer> Poll(std::function<bool()> step, int intervalMs = 10);

// Answers each message box once `ready` allows, by `answer` or else Enter, noting what it showed.
struct CBoxSeen {
  QString title, text, buttons;  // the buttons' texts in order of name
  QMessageBox::Icon icon;
  QWidget* owner;
};
std::unique_ptr<QTimer> AnswerBoxes(std::vector<CBoxSeen>& seen, std::function<void(QMessageBox&)> answer = {},
                                    std::function<bool()> ready = {});

class QtHost : public ::testing::Test {
 protected:
  void SetUp() override { CHost::SetCurrent((m_host = std::make_unique<CQtHost>()).get()); }
  void TearDown() override { CHost::SetCurrent(nullptr); }
  // Runs the dialog modally; body runs in its loop once the window is active, then the dialog is
  // ended if the body did not end it. Returns the dialog's result.
  int Run(CDialog& dialog, const std::function<void(CDialogWindow&)>& body);

  std::unique_ptr<CQtHost> m_host;
};

template <class W>
W* WidgetAs(CDialogWindow& window, int id) {
  auto* widget = dynamic_cast<W*>(window.Widget(id));
  EXPECT_NE(widget, nullptr) << "control " << id;
  return widget;
}
// The control's rectangle in the window's pixels.
QRect RectOf(CDialogWindow& window, int id);
// Drags a slider whose thumb stands in its middle by `offset` pixels with the mouse and lets it go.
void Drag(QWidget* slider, QPoint offset);
// Opens the window's system menu by `open` (a right click unless given), chooses the item that
// sends `command` and returns the items' texts.
QStringList ChooseSystemMenuItem(QWidget& window, int command, const std::function<void()>& open = {});
