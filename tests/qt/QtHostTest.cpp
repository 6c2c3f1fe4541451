// The Qt host: dialogs over dialogs, the system menu, timers, message and file dialogs, work from other threads.
#include "QtHostFixture.h"
#include "link/DmxLine.h"
#include "qt/LineMonitor.h"
#include "qt/UserSettings.h"

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
#include <thread>

using D = CFakeDialog;

// A click as the window system delivers it, which a modal window may block (a click on the widget
// itself would go past the modality check).
void ClickThroughItsWindow(QWidget* widget) {
  QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {},
                    widget->mapTo(widget->window(), widget->rect().center()));
}

TEST_F(QtHost, ADialogOverAnotherBlocksOnlyItAndTheCloseBoxAndEscapeAskTheDialogWhichDecides) {
  CDmxLine line;
  CLineMonitor monitor(line);
  D dialog, inner;
  bool refuse = true;
  inner.onMessage = [&](const CMessage& m) { return m.kind == EMessage::Close && refuse; };
  dialog.onMessage = [&](const CMessage& m) {
    if (m.kind != EMessage::Command || m.id != D::kButton) return false;
    Run(inner, [&](CDialogWindow& window) {
      monitor.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
      auto* freeze = monitor.findChild<QCheckBox*>();
      ClickThroughItsWindow(freeze);
      EXPECT_TRUE(freeze->isChecked()) << "the line monitor takes the click";
      dialog.log.clear();
      ClickThroughItsWindow(m_host->WindowOf(dialog)->Widget(D::kBar));
      EXPECT_TRUE(dialog.log.empty()) << "the dialog under the inner one does not";
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isActiveWindow(); }));
  });
}

TEST_F(QtHost, SystemMenuOffersCloseThenTheDialogsItemsAndSendsTheChosenCommand) {
  D dialog;
  QStringList texts;
  const int result = Run(dialog, [&](CDialogWindow& window) {
    texts = ChooseSystemMenuItem(window, D::kMenuCommand);
    // The keyboard opens it too: Shift+F10 anywhere, the Menu key even in a field.
    ChooseSystemMenuItem(window, D::kMenuCommand, [&] { QTest::keyClick(&window, Qt::Key_F10, Qt::ShiftModifier); });
    ChooseSystemMenuItem(window, D::kMenuCommand, [&] { QTest::keyClick(window.Widget(D::kField), Qt::Key_Menu); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.log.size() >= 3; }));
    EXPECT_EQ(dialog.log[2].message.kind, EMessage::SysCommand);
    EXPECT_EQ(dialog.Take(D::kMenuCommand), Strings(3, Seen(0, 0)));
    ChooseSystemMenuItem(window, SC_CLOSE);
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.HasEnded(); }));
  });
  EXPECT_EQ(texts, (QStringList{"&Close\tAlt+F4", "-", "关于 Fake(&A)..."}));
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(QtHost, WindowTimersTickByTheirDeadlinesAndOnDuringAMessageBoxUntilKilledOrTheDialogEnds) {
  D dialog;  // timer 3 is a tool's that shows its finish message from its tick handler
  std::vector<int> ticks;  // the timer's id, negative for a tick while the box was open
  bool inBox = false;
  const auto ticksDuringBox = [&] { return std::ranges::count(ticks, -3); };
  std::vector<CBoxSeen> boxes;
  const auto answerer = AnswerBoxes(boxes, {}, [&, polls = 0]() mutable {
    return ticksDuringBox() >= 3 || ++polls > 100;
  });
  dialog.onMessage = [&](const CMessage& m) {
    if (m.kind != EMessage::Timer) return false;
    ticks.push_back(inBox ? -m.id : m.id);
    if (m.id != 3 || inBox || !boxes.empty()) return true;
    inBox = true;
    dialog.MessageBox("      Firmware upgrade finish!", EMessageIcon::None);
    inBox = false;
    return true;
  };
  QWidget* owner = nullptr;
  Run(dialog, [&](CDialogWindow& window) {
    owner = &window;
    dialog.SetTimer(1, 100);
    dialog.SetTimer(2, 250);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() == 3; }, 5000));
    EXPECT_EQ(ticks, (std::vector<int>{1, 1, 2}));
    dialog.KillTimer(1);
    dialog.KillTimer(2);
    EXPECT_FALSE(QTest::qWaitFor([&] { return ticks.size() > 3; }, 400));
    dialog.SetTimer(3, 15);  // left running when the dialog ends
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.empty(); }, 3000));
  });
  EXPECT_GE(ticksDuringBox(), 3);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, QMessageBox::NoIcon);
  EXPECT_EQ(boxes[0].owner, owner);
  const std::size_t ticked = ticks.size();
  Run(dialog, [&](CDialogWindow&) { EXPECT_FALSE(QTest::qWaitFor([&] { return ticks.size() > ticked; }, 100)); });
}

TEST_F(QtHost, MessageBoxesShowCaptionTextAndIconAndAQuestionSaysYesOnlyWhenYesIsClicked) {
  std::vector<CBoxSeen> boxes;
  const auto answerer = AnswerBoxes(boxes, [&](QMessageBox& box) {
    // The question (the fourth box on) is answered by its Yes button, then Enter, Escape and the close box.
    if (boxes.size() == 4) box.button(QMessageBox::Yes)->click();
    else if (boxes.size() == 7) box.close();
    else QTest::keyClick(&box, boxes.size() == 6 ? Qt::Key_Escape : Qt::Key_Return);
  });
  m_host->ShowMessageBox({"Cound not find USB to DMX device  ", "Vexmira", EMessageIcon::Error, 0});
  m_host->ShowMessageBox({"Too big", "vexmira", EMessageIcon::Warning, 0});
  m_host->ShowMessageBox({"Note", "vexmira", EMessageIcon::Information, 0});
  const CMessageBox question{"Stop the upgrade?", "vexmira", EMessageIcon::Warning, 0, EMessageButtons::YesNo};
  std::vector<EMessageReply> replies;
  for (int i = 0; i < 4; ++i) replies.push_back(m_host->ShowMessageBox(question));
  EXPECT_EQ(replies, (std::vector{EMessageReply::Yes, EMessageReply::No, EMessageReply::No, EMessageReply::No}));
  ASSERT_EQ(boxes.size(), 7u);
  EXPECT_EQ(boxes[0].title + "|" + boxes[0].text + "|" + boxes[0].buttons,
            "Vexmira|Cound not find USB to DMX device  |OK");
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ((std::vector{boxes[0].icon, boxes[1].icon, boxes[2].icon}),
            (std::vector{QMessageBox::Critical, QMessageBox::Warning, QMessageBox::Information}));
  EXPECT_EQ(boxes[3].buttons + "|" + boxes[6].buttons, "No Yes|No Yes");
}

TEST_F(QtHost, AWithdrawnQuestionClosesAsNoAndAWindowReopensWhereItWasLeftIfThatIsOnAScreen) {
  D dialog;
  Run(dialog, [&](CDialogWindow& window) {
    const auto withdraw = Poll([&] { return QApplication::activeModalWidget() != &window &&
                                            (m_host->WithdrawQuestions(D::kResourceId), true); });
    QTimer::singleShot(3000, [] {  // had it not gone, it would be answered Yes
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(QMessageBox::Yes)->click();
    });
    EXPECT_FALSE(dialog.Ask("Stop the upgrade?", EMessageIcon::Warning));
    window.move(40, 60);
  });
  Run(dialog, [&](CDialogWindow& window) { EXPECT_EQ(window.pos(), QPoint(40, 60)); });
  UserSettings().setValue("Windows/900", QPoint(-9000, 40));  // a screen no longer there
  Run(dialog, [&](CDialogWindow& window) { EXPECT_TRUE(window.screen()->availableGeometry().contains(window.pos())); });
  m_host->WriteSetting("Interface/choice", "sacn:1");
  EXPECT_EQ(m_host->ReadSetting("Interface/choice"), "sacn:1");
  m_host->WriteSetting("Interface/choice", std::nullopt);
  EXPECT_EQ(m_host->ReadSetting("Interface/choice"), std::nullopt);
}

TEST_F(QtHost, CloseAllClosesEveryDialogAsItsCloseBoxWouldAndAsksNothing) {
  D outer, inner;
  QObject context;
  std::vector<EMessageReply> replies;
  const auto ask = [&](EMessageButtons buttons) {
    replies.push_back(m_host->ShowMessageBox({"?", "vexmira", EMessageIcon::None, 0, buttons}));
  };
  // The end comes while the inner dialog waits in a box; closing, it would ask a question.
  outer.onInit = [&] { QTimer::singleShot(0, &context, [&] { inner.DoModal(); }); };
  inner.onInit = [&] { QTimer::singleShot(0, &context, [&] { ask(EMessageButtons::Ok); }); };
  inner.onMessage = [&](const CMessage& m) {
    if (m.kind == EMessage::Close) ask(EMessageButtons::YesNo);
    return false;
  };
  const auto ender = Poll([&] {
    if (!qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) return false;
    m_host->CloseAll();
    return true;
  });
  EXPECT_EQ(outer.DoModal(), IDCANCEL);
  EXPECT_EQ(inner.Result(), IDCANCEL);
  EXPECT_EQ(replies, (std::vector{EMessageReply::Ok, EMessageReply::No}));
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
  });
  CFileDialog save{EFileDialogKind::Save, "zkc", "*.zkc", "Chase (*.zkc)|*.zkc|All Files (*.*)|*.*||", true, false};
  answer = folder.path() + "/new";
  EXPECT_EQ(m_host->ShowFileDialog(save), (answer + ".zkc").toStdString()) << "the extension is added";
  EXPECT_EQ(seen, QString("Chase (*.zkc);;All Files (*)|zkc|%1|%2").arg(QFileDialog::AnyFile)
                      .arg(QFileDialog::AcceptSave));
  EXPECT_EQ(where, QDir::homePath()) << "no folder used yet";
  answer.clear();
  EXPECT_EQ(m_host->ShowFileDialog({EFileDialogKind::Open, "zkc", "*.zkc", "Chase (*.zkc)|*.zkc||"}), std::nullopt);
  EXPECT_EQ(where, folder.path());
  EXPECT_TRUE(seen.endsWith(QString("|%1|%2").arg(QFileDialog::ExistingFile).arg(QFileDialog::AcceptOpen)));
  CFileDialog upgrade{EFileDialogKind::Open, "zku", "*.zku", "Upgrade (*.zku)|*.zku||", true, false};
  m_host->ShowFileDialog(upgrade);
  EXPECT_EQ(where, QDir::homePath()) << "another kind of file has a folder of its own";
}

TEST_F(QtHost, APeriodicTimerRunsOnItsOwnThreadUntilStoppedAndWorkItPostsRunsLaterOnTheGuiThreadInOrder) {
  const std::thread::id gui = std::this_thread::get_id();
  std::atomic<int> calls{0};
  std::vector<int> order;  // the posted number of each call, or -1 for a call or its work on the wrong thread
  const int id = m_host->StartPeriodicTimer(5, [&] {
    const int call = std::this_thread::get_id() == gui ? -1 : calls++;
    m_host->PostToGui([&, call] { order.push_back(std::this_thread::get_id() == gui ? call : -1); });
  });
  bool ran = false;
  m_host->PostToGui([&] { ran = true; });
  EXPECT_FALSE(ran) << "posted work runs from the event loop";
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() >= 3; }));
  m_host->StopPeriodicTimer(id);
  const int stoppedAt = calls.load();
  EXPECT_FALSE(QTest::qWaitFor([&] { return calls.load() > stoppedAt; }, 60));
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == static_cast<std::size_t>(stoppedAt); }));
  for (int i = 0; i < stoppedAt; ++i) EXPECT_EQ(order[i], i);
}
