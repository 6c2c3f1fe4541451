// The Qt host: closing, a dialog over another, the system menu, window timers, message and file
// dialogs, and work from other threads.
#include "FakeDialog.h"
#include "link/DmxLine.h"
#include "qt/LineMonitor.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fstream>
#include <thread>

using D = CFakeDialog;

TEST_F(QtHost, CloseBoxAndEscapeAskTheDialogWhichDecidesAndADialogOverAnotherIsModalOverIt) {
  D dialog, inner;
  bool refuse = true;
  inner.onMessage = [&](const CMessage& m) { return m.kind == EMessage::Close && refuse; };
  dialog.onMessage = [&](const CMessage& m) {
    if (m.kind != EMessage::Command || m.id != D::kButton) return false;
    Run(inner, [&](CDialogWindow& window) {
      EXPECT_EQ(QApplication::activeModalWidget(), &window);
      EXPECT_EQ(window.parentWidget(), m_host->WindowOf(dialog));
      window.close();
      EXPECT_TRUE(window.isVisible() && !inner.HasEnded());
      refuse = false;
      QTest::keyClick(window.Widget(D::kField), Qt::Key_Escape);
    });
    return true;
  };
  Run(dialog, [&](CDialogWindow& window) {
    QTest::mouseClick(window.Widget(D::kButton), Qt::LeftButton);
    EXPECT_EQ(inner.Result(), IDCANCEL);
    EXPECT_EQ(inner.log.back().message.kind, EMessage::Destroy);
    EXPECT_FALSE(inner.HasWindow()) << "the controls go with the window";
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }));
  });
}

// A click as the window system delivers it, which a modal window may block (a click on the widget
// itself would go past the modality check).
void ClickThroughItsWindow(QWidget* widget) {
  QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                    widget->mapTo(widget->window(), widget->rect().center()));
}

TEST_F(QtHost, AToolBlocksOnlyTheWindowsUnderItSoTheLineMonitorStaysUsable) {
  CDmxLine line;
  CLineMonitor monitor(line);
  D launcher, tool;
  launcher.onMessage = [&](const CMessage& m) {
    if (m.kind != EMessage::Command || m.id != D::kButton) return false;
    Run(tool, [&](CDialogWindow&) {
      monitor.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
      auto* freeze = monitor.findChild<QCheckBox*>();
      ClickThroughItsWindow(freeze);
      EXPECT_TRUE(freeze->isChecked()) << "the monitor takes the click";
      launcher.log.clear();
      ClickThroughItsWindow(m_host->WindowOf(launcher)->Widget(D::kButton));
      EXPECT_TRUE(launcher.log.empty()) << "the launcher under the tool does not";
    });
    return true;
  };
  Run(launcher, [&](CDialogWindow& window) { QTest::mouseClick(window.Widget(D::kButton), Qt::LeftButton); });
  EXPECT_TRUE(tool.HasEnded());
}

TEST_F(QtHost, SystemMenuOffersCloseThenTheDialogsItemsAndSendsTheChosenCommand) {
  D dialog;
  QStringList texts;
  const int result = Run(dialog, [&](CDialogWindow& window) {
    ChooseSystemMenuItem(window, D::kMenuCommand, &texts);
    // The keyboard opens it too: Shift+F10 anywhere, the Menu key even in a field.
    ChooseSystemMenuItem(window, D::kMenuCommand, nullptr,
                         [&] { QTest::keyClick(&window, Qt::Key_F10, Qt::ShiftModifier); });
    ChooseSystemMenuItem(window, D::kMenuCommand, nullptr,
                         [&] { QTest::keyClick(window.Widget(D::kField), Qt::Key_Menu); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.log.size() >= 3; }));
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(dialog.log[i].message.kind, EMessage::SysCommand);
      EXPECT_EQ(dialog.log[i].message.id, D::kMenuCommand);
    }
    ChooseSystemMenuItem(window, SC_CLOSE);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.HasEnded(); }));
  });
  EXPECT_EQ(texts, (QStringList{"&Close\tAlt+F4", "-", "关于 Fake(&A)..."}));
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(QtHost, WindowTimersFireInTheOrderOfTheirDeadlinesUntilKilledOrTheDialogEnds) {
  D dialog;
  std::vector<int> ids;
  dialog.onMessage = [&](const CMessage& m) { return m.kind == EMessage::Timer && (ids.push_back(m.id), true); };
  Run(dialog, [&](CDialogWindow&) {
    dialog.SetTimer(1, 100);
    dialog.SetTimer(2, 250);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ids.size() == 3; }, 5000));
    EXPECT_EQ(ids, (std::vector<int>{1, 1, 2}));
    dialog.KillTimer(1);
    dialog.KillTimer(2);
    EXPECT_FALSE(QTest::qWaitFor([&] { return ids.size() > 3; }, 400));
    dialog.SetTimer(3, 10);  // left running when the dialog ends
  });
  Run(dialog, [&](CDialogWindow&) { EXPECT_FALSE(QTest::qWaitFor([&] { return ids.size() > 3; }, 100)); });
}

TEST_F(QtHost, ATimersTicksGoOnWhileItsHandlerWaitsInAMessageBox) {
  D dialog;  // as a tool that shows its finish message from its tick handler
  int ticksDuringBox = 0;
  bool inBox = false;
  std::vector<CBoxSeen> boxes;
  const auto answerer = AnswerBoxes(boxes, [&, polls = 0]() mutable { return ticksDuringBox >= 3 || ++polls > 100; });
  dialog.onMessage = [&](const CMessage& m) {
    if (m.kind != EMessage::Timer) return false;
    if (inBox) {
      ++ticksDuringBox;
    } else if (boxes.empty()) {
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.empty(); }, 3000));
  });
  EXPECT_GE(ticksDuringBox, 3);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title.toStdString() + "|" + boxes[0].text.toStdString(),
            ApplicationName() + "|      Firmware upgrade finish!");
  EXPECT_EQ(boxes[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(boxes[0].owner, owner);
}

TEST_F(QtHost, MessageBoxShowsItsCaptionTextAndIconWithoutAnOwnerWhenItHasNone) {
  std::vector<CBoxSeen> boxes;
  const auto answerer = AnswerBoxes(boxes);
  m_host->ShowMessageBox({"Cound not find USB to DMX device  ", "Vexmira", EMessageIcon::Error, 0});
  m_host->ShowMessageBox({"Too big", "vexmira", EMessageIcon::Warning, 0});
  m_host->ShowMessageBox({"Note", "vexmira", EMessageIcon::Information, 0});
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].title + "|" + boxes[0].text, "Vexmira|Cound not find USB to DMX device  ");
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ((std::vector<int>{boxes[0].icon, boxes[1].icon, boxes[2].icon}),
            (std::vector<int>{QMessageBox::Critical, QMessageBox::Warning, QMessageBox::Information}));
}

TEST_F(QtHost, AQuestionOffersYesAndNoAndOnlyYesSaysYes) {
  std::vector<std::function<void(QMessageBox&)>> answers{
      [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); },
      [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); },
      [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
      [](QMessageBox& box) { box.close(); }};
  QStringList buttons;
  const auto answerer = Poll([&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || answers.empty()) return false;
    for (const QAbstractButton* button : box->buttons()) buttons << button->text().remove('&');
    const auto answer = answers.front();
    answers.erase(answers.begin());
    answer(*box);
    return false;
  });
  const CMessageBox question{"Stop the upgrade?", "vexmira", EMessageIcon::Warning, 0, EMessageButtons::YesNo};
  std::vector<EMessageReply> replies;
  for (int i = 0; i < 4; ++i) replies.push_back(m_host->ShowMessageBox(question));
  EXPECT_EQ(replies, (std::vector{EMessageReply::Yes, EMessageReply::No, EMessageReply::No, EMessageReply::No}));
  buttons.sort();
  EXPECT_EQ(buttons.join(" "), "No No No No Yes Yes Yes Yes");
}

TEST_F(QtHost, FileDialogAnswersWithTheChosenPathOrNothingAndOpensInTheFolderLastUsedForItsKind) {
  QTemporaryDir folder, settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());  // not the user's own
  QString seen, answer, where;  // seen: filters, suffix, file and accept mode; an empty answer cancels
  const auto chooser = Poll([&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
    if (!name || !dialog->isVisible()) return false;
    seen = QString("%1|%2|%3|%4").arg(dialog->nameFilters().join(";;"), dialog->defaultSuffix())
               .arg(dialog->fileMode()).arg(dialog->acceptMode());
    where = dialog->directory().absolutePath();
    if (answer.isEmpty()) return dialog->reject(), false;
    name->setText(answer);  // typed into the name field, then accepted
    return static_cast<QDialog*>(dialog)->accept(), false;
  }, 20);
  CFileDialog save{EFileDialogKind::Save, "zkc", "*.zkc", "Chase (*.zkc)|*.zkc|All Files (*.*)|*.*||", true, false};
  answer = folder.path() + "/new";
  EXPECT_EQ(m_host->ShowFileDialog(save), (answer + ".zkc").toStdString()) << "the extension is added";
  EXPECT_EQ(seen, QString("Chase (*.zkc);;All Files (*)|zkc|%1|%2").arg(QFileDialog::AnyFile)
                      .arg(QFileDialog::AcceptSave));
  EXPECT_EQ(where, QDir::homePath()) << "no folder used yet";
  CFileDialog open = save;
  open.kind = EFileDialogKind::Open;
  open.fileMustExist = true;
  answer.clear();
  EXPECT_EQ(m_host->ShowFileDialog(open), std::nullopt);
  EXPECT_EQ(where, folder.path());
  EXPECT_TRUE(seen.endsWith(QString("|%1|%2").arg(QFileDialog::ExistingFile).arg(QFileDialog::AcceptOpen)));
  answer = folder.path() + "/new.zkc";
  std::ofstream(answer.toStdString()) << "chase";
  EXPECT_EQ(m_host->ShowFileDialog(open), answer.toStdString());
  CFileDialog upgrade{EFileDialogKind::Open, "zku", "*.zku", "Upgrade (*.zku)|*.zku||", true, false};
  answer.clear();
  m_host->ShowFileDialog(upgrade);
  EXPECT_EQ(where, QDir::homePath()) << "another kind of file has a folder of its own";
}

TEST_F(QtHost, WorkPostedFromAnyThreadRunsLaterOnTheGuiThreadInOrder) {
  const std::thread::id gui = std::this_thread::get_id();
  std::vector<int> order;
  const auto post = [&](int i) {
    m_host->PostToGui([&, i] { order.push_back(std::this_thread::get_id() == gui ? i : -1); });
  };
  post(0);
  std::thread([&] {
    for (int i = 1; i < 100; ++i) post(i);
  }).join();
  EXPECT_TRUE(order.empty()) << "posted work runs from the event loop";
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 100; }));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[i], i);
}

TEST_F(QtHost, PeriodicTimerRunsOnItsOwnThreadUntilStopped) {
  std::atomic<int> calls{0};
  std::atomic<bool> onGui{false};
  const std::thread::id gui = std::this_thread::get_id();
  const int id = m_host->StartPeriodicTimer(5, [&] {
    onGui = onGui || std::this_thread::get_id() == gui;
    ++calls;
  });
  ASSERT_TRUE(QTest::qWaitFor([&] { return calls.load() >= 3; }));
  m_host->StopPeriodicTimer(id);
  const int stoppedAt = calls.load();
  EXPECT_FALSE(QTest::qWaitFor([&] { return calls.load() > stoppedAt; }, 60));
  EXPECT_FALSE(onGui.load());
}
