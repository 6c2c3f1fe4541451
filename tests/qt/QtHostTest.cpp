// The Qt host: closing, Enter, window timers, message and file dialogs, and work from other threads.
// (A dialog over another is seen in the launcher's about box.)
#include "FakeDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <fstream>
#include <numeric>
#include <thread>

using D = CFakeDialog;

TEST_F(QtHost, CloseBoxAndEscapeAskTheDialogWhichDecides) {
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
  EXPECT_EQ(dialog.log.back().message.kind, EMessage::Destroy);
  EXPECT_EQ(dialog.Messages(EMessage::Close).size(), 2u);
  EXPECT_FALSE(dialog.HasWindow()) << "the controls are destroyed with the window";
}

TEST_F(QtHost, EnterPressesTheFocusedButtonElseTheDefaultButton) {
  D dialog;
  const int result = Run(dialog, [&](CDialogWindow& window) {
    for (int id : {D::kButton, D::kField}) {
      window.Widget(id)->setFocus();
      QTest::keyClick(window.Widget(id), Qt::Key_Return);
    }
  });
  EXPECT_EQ(dialog.Codes(EMessage::Command, D::kButton), std::vector<int>{BN_CLICKED});
  EXPECT_EQ(dialog.Codes(EMessage::Command, IDOK), std::vector<int>{BN_CLICKED});
  EXPECT_EQ(result, IDOK);
}

TEST_F(QtHost, WindowTimersFireInTheOrderOfTheirDeadlinesUntilKilledOrTheDialogEnds) {
  D dialog;
  const auto fired = [&] { return dialog.Messages(EMessage::Timer).size(); };
  Run(dialog, [&](CDialogWindow&) {
    dialog.SetTimer(1, 100);
    dialog.SetTimer(2, 250);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Messages(EMessage::Timer, 2).empty(); }, 5000));
    std::vector<int> ids;
    for (const CMessage& message : dialog.Messages(EMessage::Timer)) ids.push_back(message.id);
    EXPECT_EQ(ids, (std::vector<int>{1, 1, 2}));
    dialog.KillTimer(1);
    dialog.KillTimer(2);
    const std::size_t killedAt = fired();
    EXPECT_FALSE(QTest::qWaitFor([&] { return fired() > killedAt; }, 400));
    dialog.SetTimer(3, 10);  // left running when the dialog ends
  });
  const std::size_t endedAt = fired();
  EXPECT_FALSE(QTest::qWaitFor([&] { return fired() > endedAt; }, 100));
}

TEST_F(QtHost, ATimersOwnTicksGoOnWhileItsHandlerWaitsInAMessageBox) {
  // A tool that shows its finish message from its tick handler still gets the ticks that come
  // while the message is open (the firmware tool sends its idle frame on them).
  D dialog;
  int ticksDuringBox = 0;
  bool inBox = false;
  CBoxAnswerer boxes([&] { return ticksDuringBox >= 3; });
  dialog.onMessage = [&](const CMessage& message) {
    if (message.kind != EMessage::Timer) return false;
    if (inBox) {
      ++ticksDuringBox;
    } else if (boxes.seen.empty()) {
      inBox = true;
      dialog.MessageBox("      Firmware upgrade finish!", EMessageIcon::None);
      inBox = false;
    }
    return true;
  };
  QWidget* owner = nullptr;
  Run(dialog, [&](CDialogWindow& window) {
    owner = &window;
    dialog.SetTimer(1, 15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.seen.empty() && !inBox; }, 3000));
  });
  EXPECT_GE(ticksDuringBox, 3);
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_EQ(boxes.seen[0].title.toStdString(), ApplicationName());
  EXPECT_EQ(boxes.seen[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(boxes.seen[0].parent, owner);
  EXPECT_EQ(boxes.seen[0].buttons, 1);
}

TEST_F(QtHost, MessageBoxShowsItsCaptionTextAndIcon) {
  CBoxAnswerer boxes;
  m_host->ShowMessageBox({"Cound not find USB to DMX device  ", "Vexmira", EMessageIcon::Error, 0});
  m_host->ShowMessageBox({"Too big", "vexmira", EMessageIcon::Warning, 0});
  m_host->ShowMessageBox({"Note", "vexmira", EMessageIcon::Information, 0});
  ASSERT_EQ(boxes.seen.size(), 3u);
  const auto& error = boxes.seen[0];
  EXPECT_EQ(error.title + "|" + error.text, "Vexmira|Cound not find USB to DMX device  ");
  EXPECT_EQ(error.parent, nullptr);
  EXPECT_EQ(error.buttons, 1);
  EXPECT_EQ((std::vector<int>{boxes.seen[0].icon, boxes.seen[1].icon, boxes.seen[2].icon}),
            (std::vector<int>{QMessageBox::Critical, QMessageBox::Warning, QMessageBox::Information}));
}

TEST_F(QtHost, FileDialogAnswersWithTheChosenPathOrNothing) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string existing = (folder.path() + "/show.zkc").toStdString();
  std::ofstream(existing) << "chase";
  QString seen;  // the dialog's filters, default suffix, file mode and accept mode
  QString answer;  // empty: cancel
  CPoller chooser(
      [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return false;
        seen = QString("%1|%2|%3|%4").arg(dialog->nameFilters().join(";;"), dialog->defaultSuffix())
                   .arg(dialog->fileMode()).arg(dialog->acceptMode());
        if (answer.isEmpty()) return dialog->reject(), false;
        // The user types the name into the dialog's name field and accepts.
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (!name) return false;
        name->setText(answer);
        static_cast<QDialog*>(dialog)->accept();  // public there
        return false;
      },
      20);

  CFileDialog open{EFileDialogKind::Open, "zkc", "*.zkc", "Chase File (*.zkc)|*.zkc|All Files (*.*)|*.*||", true, true};
  answer = QString::fromStdString(existing);
  EXPECT_EQ(m_host->ShowFileDialog(open), existing);
  EXPECT_EQ(seen, QString("Chase File (*.zkc);;All Files (*)|zkc|%1|%2")
                      .arg(QFileDialog::ExistingFile)
                      .arg(QFileDialog::AcceptOpen));
  answer.clear();
  EXPECT_EQ(m_host->ShowFileDialog(open), std::nullopt);

  CFileDialog save = open;
  save.kind = EFileDialogKind::Save;
  save.fileMustExist = false;
  answer = folder.path() + "/new";
  EXPECT_EQ(m_host->ShowFileDialog(save), (folder.path() + "/new.zkc").toStdString())
      << "the default extension is added";
  EXPECT_TRUE(seen.endsWith(QString("|%1|%2").arg(QFileDialog::AnyFile).arg(QFileDialog::AcceptSave)))
      << seen.toStdString();
}

TEST_F(QtHost, ClockCountsMicrosecondsFromTheStart) {
  const std::int64_t first = m_host->NowUs();
  EXPECT_GE(first, 0);
  EXPECT_LT(first, 10'000'000);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GE(m_host->NowUs() - first, 20'000);
}

class ThreadedQtHost : public QtHost {};

TEST_F(ThreadedQtHost, WorkPostedFromAnotherThreadRunsLaterOnTheGuiThreadInOrder) {
  const std::thread::id gui = std::this_thread::get_id();
  std::vector<int> order;
  std::vector<std::thread::id> ranOn;
  const auto post = [&](int i) {
    m_host->PostToGui([&, i] {
      order.push_back(i);
      ranOn.push_back(std::this_thread::get_id());
    });
  };
  post(0);  // from the GUI thread itself
  std::thread poster([&] {
    for (int i = 1; i < 100; ++i) post(i);
  });
  poster.join();
  EXPECT_TRUE(order.empty()) << "posted work runs from the event loop";
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 100; }));
  std::vector<int> expected(100);
  std::iota(expected.begin(), expected.end(), 0);
  EXPECT_EQ(order, expected);
  EXPECT_EQ(std::count(ranOn.begin(), ranOn.end(), gui), 100);
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
