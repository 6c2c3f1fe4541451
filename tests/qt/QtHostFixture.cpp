// Test helpers for the Qt host.
#include "QtHostFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

std::unique_ptr<QTimer> Poll(std::function<bool()> step, int intervalMs) {
  auto timer = std::make_unique<QTimer>();
  QObject::connect(timer.get(), &QTimer::timeout, [timer = timer.get(), step = std::move(step)] {
    if (step()) timer->stop();
  });
  timer->start(intervalMs);
  return timer;
}

std::unique_ptr<QTimer> AnswerBoxes(std::vector<CBoxSeen>& seen, std::function<void(QMessageBox&)> answer,
                                    std::function<bool()> ready) {
  return Poll([&seen, answer, ready] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || (ready && !ready())) return false;
    QStringList buttons;
    for (const QAbstractButton* button : box->buttons()) buttons << button->text().remove('&');
    buttons.sort();
    seen.push_back({box->windowTitle(), box->text(), buttons.join(" "), box->icon(), box->parentWidget()});
    if (answer) answer(*box);
    else QTest::keyClick(box, Qt::Key_Return);
    return false;
  });
}

int QtHost::Run(CDialog& dialog, const std::function<void(CDialogWindow&)>& body) {
  QObject context;  // drops the start if the dialog never runs its loop
  QTimer::singleShot(0, &context, [&] {
    CDialogWindow* window = m_host->WindowOf(dialog);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    body(*window);
    if (!dialog.HasEnded()) dialog.EndDialog(-1);
  });
  return dialog.DoModal();
}

QRect RectOf(CDialogWindow& window, int id) { return window.Units().Rect(window.Dialog().Item(id).Rect()); }

void Drag(QWidget* slider, QPoint offset) {
  const QPoint from = slider->rect().center();
  QTest::mousePress(slider, Qt::LeftButton, {}, from);
  QTest::mouseMove(slider, from + offset);
  QTest::mouseRelease(slider, Qt::LeftButton, {}, from + offset);
}

QStringList ChooseSystemMenuItem(QWidget& window, int command, const std::function<void()>& open) {
  QStringList texts;
  bool picked = false;
  const auto picker = Poll([&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return false;
    for (QAction* action : menu->actions()) {
      texts << (action->isSeparator() ? "-" : action->text());
      if (action->data().toInt() == command) menu->setActiveAction(action);
    }
    if (!menu->activeAction()) menu->close();  // no such item
    QTest::keyClick(menu, Qt::Key_Return);
    return picked = true;
  });
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), window.mapToGlobal(QPoint(5, 5)));
  if (!open) QApplication::sendEvent(&window, &click);
  // A key reaches its shortcut only in the active window; on a busy machine a closed menu may leave no window
  // active, as a user would see before clicking the window.
  if (open) (void)QTest::qWaitFor([&] {
    window.activateWindow();
    open();
    return picked;
  }, 10000);
  return texts;
}
