// The Qt host: closing, Enter, the system menu, window timers, message and file dialogs,
// nested dialogs, and work from other threads.
#include "FakeDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fstream>
#include <thread>

namespace {
using D = CFakeDialog;
}

TEST_F(QtHostTest, CloseBoxAndEscapeAskTheDialogWhichDecides) {
  D dialog;
  bool refuse = true;
  dialog.onMessage = [&](const CMessage& message) { return message.kind == EMessage::Close && refuse; };
  const int result = Run(dialog, [&](CDialogWindow& window) {
    window.close();
    EXPECT_EQ(dialog.Messages(EMessage::Close).size(), 1u);
    EXPECT_FALSE(dialog.HasEnded());
    EXPECT_TRUE(window.isVisible());
    refuse = false;
    QTest::keyClick(window.Widget(D::kField), Qt::Key_Escape);
    EXPECT_TRUE(dialog.HasEnded());
  });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_FALSE(dialog.log.empty());
  EXPECT_EQ(dialog.log.back().message.kind, EMessage::Destroy);
  EXPECT_EQ(dialog.Messages(EMessage::Close).size(), 2u);
  EXPECT_FALSE(dialog.HasWindow()) << "the controls are destroyed with the window";
}

TEST_F(QtHostTest, EnterPressesTheFocusedButtonElseTheDefaultButton) {
  D dialog;
  const int result = Run(dialog, [&](CDialogWindow& window) {
    auto* button = WidgetAs<QPushButton>(window, D::kButton);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(dialog.Codes(EMessage::Command, D::kButton), std::vector<int>{BN_CLICKED});
    auto* field = WidgetAs<QLineEdit>(window, D::kField);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
  });
  EXPECT_EQ(dialog.Codes(EMessage::Command, IDOK), std::vector<int>{BN_CLICKED});
  EXPECT_EQ(result, IDOK);
}

TEST_F(QtHostTest, SystemMenuOffersCloseAndTheDialogsItems) {
  D dialog;
  QStringList texts;
  CPoller picker([&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return false;
    for (QAction* action : menu->actions()) texts << (action->isSeparator() ? "-" : action->text());
    for (QAction* action : menu->actions())
      if (action->data().toInt() == D::kAboutCommand) menu->setActiveAction(action);
    QTest::keyClick(menu, Qt::Key_Return);
    return true;
  });
  Run(dialog, [&](CDialogWindow& window) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(300, 220), window.mapToGlobal(QPoint(300, 220)));
    QApplication::sendEvent(&window, &event);
  });
  EXPECT_EQ(texts, (QStringList{"&Close\tAlt+F4", "-", "关于 Fake(&A)..."}));
  const auto commands = dialog.Messages(EMessage::SysCommand);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].id, D::kAboutCommand);
}

TEST_F(QtHostTest, WindowTimersFireInTheOrderOfTheirDeadlinesUntilKilled) {
  D dialog;
  Run(dialog, [&](CDialogWindow&) {
    dialog.SetTimer(1, 100);
    dialog.SetTimer(2, 250);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Messages(EMessage::Timer, 2).empty(); }, 5000));
    std::vector<int> ids;
    for (const CMessage& message : dialog.Messages(EMessage::Timer)) ids.push_back(message.id);
    EXPECT_EQ(ids, (std::vector<int>{1, 1, 2}));
    dialog.KillTimer(1);
    dialog.KillTimer(2);
    const std::size_t fired = dialog.Messages(EMessage::Timer).size();
    EXPECT_FALSE(QTest::qWaitFor([&] { return dialog.Messages(EMessage::Timer).size() > fired; }, 400));
  });
}

TEST_F(QtHostTest, TimersOfAnEndedDialogStop) {
  D dialog;
  Run(dialog, [&](CDialogWindow&) { dialog.SetTimer(1, 10); });
  const std::size_t fired = dialog.Messages(EMessage::Timer).size();
  EXPECT_FALSE(QTest::qWaitFor([&] { return dialog.Messages(EMessage::Timer).size() > fired; }, 100));
}

TEST_F(QtHostTest, TimersKeepFiringWhileAMessageBoxIsOpen) {
  D dialog;
  std::size_t atOpen = 0;
  CBoxAnswerer boxes([&] { return dialog.Messages(EMessage::Timer).size() >= atOpen + 3; });
  Run(dialog, [&](CDialogWindow& window) {
    dialog.SetTimer(1, 20);
    atOpen = dialog.Messages(EMessage::Timer).size();
    dialog.MessageBox("The Fixture DMX Address Setup Finish", EMessageIcon::None);
    EXPECT_GE(dialog.Messages(EMessage::Timer).size(), atOpen + 3);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].title.toStdString(), ApplicationName());
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(boxes.seen[0].parent, &window);
    EXPECT_EQ(boxes.seen[0].buttons, 1);
  });
}

TEST_F(QtHostTest, MessageBoxShowsItsCaptionTextAndIcon) {
  CBoxAnswerer boxes;
  m_host->ShowMessageBox({"Cound not find USB to DMX device  ", "Vexmira", EMessageIcon::Error, 0});
  m_host->ShowMessageBox({"Too big", "vexmira", EMessageIcon::Warning, 0});
  m_host->ShowMessageBox({"Note", "vexmira", EMessageIcon::Information, 0});
  ASSERT_EQ(boxes.seen.size(), 3u);
  EXPECT_EQ(boxes.seen[0].title, "Vexmira");
  EXPECT_EQ(boxes.seen[0].text, "Cound not find USB to DMX device  ");
  EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);
  EXPECT_EQ(boxes.seen[0].parent, nullptr);
  EXPECT_EQ(boxes.seen[0].buttons, 1);
  EXPECT_EQ(boxes.seen[1].icon, QMessageBox::Warning);
  EXPECT_EQ(boxes.seen[2].icon, QMessageBox::Information);
}

TEST_F(QtHostTest, FileDialogAnswersWithTheChosenPathOrNothing) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string existing = (folder.path() + "/show.zkc").toStdString();
  std::ofstream(existing) << "chase";

  struct CSeen {
    QStringList filters;
    QString suffix;
    int mode = -1;
    int accept = -1;
  } seen;
  QString answer;  // empty: cancel
  CPoller chooser(
      [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return false;
        seen = {dialog->nameFilters(), dialog->defaultSuffix(), dialog->fileMode(), dialog->acceptMode()};
        if (answer.isEmpty()) {
          dialog->reject();
        } else {
          // The user types the name into the dialog's name field and accepts.
          auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
          if (!name) return false;
          name->setText(answer);
          static_cast<QDialog*>(dialog)->accept();  // public there
        }
        return false;
      },
      20);

  CFileDialog open{EFileDialogKind::Open, "zkc", "*.zkc", "Chase File (*.zkc)|*.zkc|All Files (*.*)|*.*||", true, true};
  answer = QString::fromStdString(existing);
  EXPECT_EQ(m_host->ShowFileDialog(open), existing);
  EXPECT_EQ(seen.filters, (QStringList{"Chase File (*.zkc)", "All Files (*)"}));
  EXPECT_EQ(seen.suffix, "zkc");
  EXPECT_EQ(seen.mode, QFileDialog::ExistingFile);
  EXPECT_EQ(seen.accept, QFileDialog::AcceptOpen);

  answer.clear();
  EXPECT_EQ(m_host->ShowFileDialog(open), std::nullopt);

  CFileDialog save = open;
  save.kind = EFileDialogKind::Save;
  save.fileMustExist = false;
  answer = folder.path() + "/new";
  EXPECT_EQ(m_host->ShowFileDialog(save), (folder.path() + "/new.zkc").toStdString())
      << "the default extension is added";
  EXPECT_EQ(seen.accept, QFileDialog::AcceptSave);
  EXPECT_EQ(seen.mode, QFileDialog::AnyFile);
}

TEST_F(QtHostTest, NestedDialogRunsOverItsOwnerAndReturnsToIt) {
  D outer;
  D inner;
  inner.SetTitle("Inner");
  QWidget* innerParent = nullptr;
  bool outerBlocked = false;
  outer.onMessage = [&](const CMessage& message) {
    if (message.kind != EMessage::Command || message.id != D::kButton) return false;
    QObject context;
    QTimer::singleShot(0, &context, [&] {
      CDialogWindow* window = m_host->WindowOf(inner);
      ASSERT_NE(window, nullptr);
      innerParent = window->parentWidget();
      EXPECT_EQ(m_host->TopWindow(), window);
      outerBlocked = QApplication::activeModalWidget() == window;
      inner.EndDialog(7);
    });
    EXPECT_EQ(inner.DoModal(), 7);
    return true;
  };
  Run(outer, [&](CDialogWindow& window) {
    QTest::mouseClick(WidgetAs<QPushButton>(window, D::kButton), Qt::LeftButton);
    EXPECT_EQ(m_host->TopWindow(), &window);
    EXPECT_EQ(innerParent, &window);
  });
  EXPECT_TRUE(outerBlocked) << "the inner dialog is the modal window";
  EXPECT_EQ(inner.log.back().message.kind, EMessage::Destroy);
}

TEST_F(QtHostTest, PostedWorkRunsOnTheGuiThreadInOrder) {
  std::vector<int> order;
  for (int i = 0; i < 5; ++i) m_host->PostToGui([&order, i] { order.push_back(i); });
  EXPECT_TRUE(order.empty()) << "posted work runs later, from the event loop";
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 5; }));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(QtHostTest, ClockCountsMicrosecondsFromTheStart) {
  const std::int64_t first = m_host->NowUs();
  EXPECT_GE(first, 0);
  EXPECT_LT(first, 10'000'000);
  const auto later = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
  while (std::chrono::steady_clock::now() < later) {
  }
  EXPECT_GE(m_host->NowUs() - first, 20'000);
}

class ThreadedQtHost : public QtHostTest {};

TEST_F(ThreadedQtHost, WorkPostedFromAnotherThreadRunsOnTheGuiThread) {
  const std::thread::id gui = std::this_thread::get_id();
  std::vector<int> order;
  std::vector<std::thread::id> ranOn;
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i)
      m_host->PostToGui([&, i] {
        order.push_back(i);
        ranOn.push_back(std::this_thread::get_id());
      });
  });
  poster.join();
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 100; }));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  for (const auto& id : ranOn) EXPECT_EQ(id, gui);
}

TEST_F(ThreadedQtHost, PeriodicTimerRunsOnItsOwnThreadUntilStopped) {
  std::atomic<int> calls{0};
  std::atomic<bool> onGuiThread{false};
  const std::thread::id gui = std::this_thread::get_id();
  const int id = m_host->StartPeriodicTimer(5, [&] {
    if (std::this_thread::get_id() == gui) onGuiThread = true;
    ++calls;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return calls.load() >= 3; }));
  m_host->StopPeriodicTimer(id);
  const int stoppedAt = calls.load();
  EXPECT_FALSE(QTest::qWaitFor([&] { return calls.load() > stoppedAt; }, 60));
  EXPECT_FALSE(onGuiThread.load());
}
