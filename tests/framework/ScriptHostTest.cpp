// The script host: actions and keys, what fails and where, unreadable scripts, virtual time, nested dialogs.
#include "base/RealtimeScheduling.h"
#include "framework/ScriptHost.h"
#include "support/FakeDialog.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

using D = CFakeDialog;
using Log = std::vector<std::string>;
// What a click on the dialog's button does.
using CClick = std::function<void(D&, Log&)>;

std::string Now() { return std::to_string(CHost::Current().NowUs() / 1000); }

void PostWork(D& dialog, Log& log) { dialog.PostToSelf([&log] { log.push_back("posted"); }); }
void AskSure(D& dialog, Log& log) { log.push_back(dialog.Ask("Sure?", EMessageIcon::Warning) ? "yes" : "no"); }

// Logs each message as "kind id code pos@ms" after `mark`; the next field refuses all but 5 when it
// loses the focus, timer 1 is killed at its second tick, and the end posts work.
void Watch(D& dialog, Log& log, const std::string& mark, const CClick& click) {
  dialog.onMessage = [&dialog, &log, mark, click, ticks = 0](const CMessage& m) mutable {
    const char* kinds[] = {"command", "hscroll", "vscroll", "timer", "syscommand", "close", "destroy"};
    log.push_back(mark + kinds[static_cast<int>(m.kind)] + " " + std::to_string(m.id) + " " +
                  std::to_string(m.code) + " " + std::to_string(m.pos) + "@" + Now());
    const bool command = m.kind == EMessage::Command;
    if (command && m.id == D::kNextField && m.code == EN_KILLFOCUS && dialog.ItemText(D::kNextField) != "5") {
      dialog.MessageBox("Only 5", EMessageIcon::Warning);
      dialog.SetItemText(D::kNextField, "5");
      dialog.SetFocus(D::kNextField);
    } else if (command && m.id == D::kButton) {
      click(dialog, log);
    } else if (m.kind == EMessage::Timer && m.id == 1 && ++ticks == 2) {
      dialog.KillTimer(1);
    } else if (m.kind == EMessage::Destroy) {
      dialog.PostToSelf([&log] { log.push_back("posted after the end"); });  // the dialog is gone by then
    } else {
      return false;
    }
    return true;
  };
}

// An inner dialog over this one, its messages marked '>', with timers 1 (30 ms) and 2 (20 ms) and a
// periodic tick every 20 ms while it is open.
void OpenInner(D&, Log& log) {
  const auto inner = std::make_unique<D>();  // on the heap, where a dangling timer shows
  int periodic = 0;
  inner->onInit = [&] {
    inner->SetTitle("Inner");
    inner->SetTimer(1, 30);
    inner->SetTimer(2, 20);
    periodic = CHost::Current().StartPeriodicTimer(20, [&log] { log.push_back(">tick@" + Now()); });
  };
  Watch(*inner, log, ">", PostWork);
  inner->DoModal();
  CHost::Current().StopPeriodicTimer(periodic);
}

class CTestFrames final : public CFrameSource {
 public:
  std::uint64_t FrameCount() const override { return 3; }
  std::optional<CObservedFrame> LastFrame() const override { return CObservedFrame{0xF6, {1, 2, 3}}; }
};

struct CRun {
  CScriptResult result;
  Log log;
  std::vector<CMessageBox> boxes;
};

// The dialog's controls by number: 20 button, 21 digits-only field, 22 next field, 23 label, 25 scroll
// bar, 26 trackbar, 27 vertical trackbar, 28 up-down, 30 sorted combo box, 33 read-only field,
// 34 hidden button, 35 disabled button.
CRun RunOn(const std::string& text, const CFrameSource* frames = nullptr, const CClick& click = PostWork) {
  CRun run;
  auto script = CScript::Parse(text, "test.vxs");
  if (!script) return ADD_FAILURE() << script.error().message, run;
  CScriptHost host(std::move(*script));
  host.SetFrameSource(frames);
  run.result = host.Run([&] {
    D dialog;
    Watch(dialog, run.log, "", click);
    dialog.DoModal();
  });
  run.boxes = host.MessageBoxes();
  return run;
}

}  // namespace

TEST(ScriptHost, ActionsAndKeysReachTheDialogAsNotificationsAndKeysWorkTheFocusedControlAsItsWindowWould) {
  const CRun run = RunOn("click 20\nslide 27 300\nexpect pos 27 255\nupdown 28 4\nselect 30 1\n"
                         "expect text 30 \"Beta\"\nselect 30 0\nkey Down\nexpect text 30 \"Beta\"\nkey shift+Tab\n"
                         "key shift+Tab\nexpect focus 26\nkey Left\nkey shift+Tab\nkey Right\nexpect pos 25 11\n"
                         "click 36\nexpect checked 36\nkey Space\nexpect unchecked 36\nkey shift+F10\nkey Down\n"
                         "key Return\nkey Return\nexpect title \"\"\n");
  ASSERT_EQ(run.result.exitCode, 1) << run.result.message;
  EXPECT_EQ(run.result.message, "test.vxs:25: no dialog is open for 'expect title'") << "Return pressed OK";
  EXPECT_EQ(run.log, (Log{
      "command 20 0 0@0", "posted",            // click; the work it posts runs before the next line
      "vscroll 27 5 255@0",                    // a trackbar tracks unless told, clamped into its range
      "vscroll 28 4 4@0", "vscroll 28 8 4@0",  // up-down: new position, then the end of the action
      "command 30 1 0@0",                      // the sorted box's second item
      "command 30 1 0@0", "command 30 1 0@0",  // select, then the next item by key
      "hscroll 26 0 49@0", "hscroll 26 8 49@0",                      // a trackbar moves itself a line
      "hscroll 25 1 10@0", "hscroll 25 8 11@0",                      // a scroll bar only reports
      "command 36 0 0@0", "command 36 0 0@0", "syscommand 16 0 0@0",  // the menu by keys
      "command 1 0 0@0", "destroy 0 0 0@0"}));                       // Enter: the default button
}

TEST(ScriptHost, WhatAUserCouldNotDoAndExpectationsThatFailNameTheirLine) {
  const CTestFrames frames;
  const std::pair<const char*, const char*> cases[] = {
      {"click 34\n", "1: control 34 is hidden"},
      {"wait 5\nclick 35\n", "2: control 35 is disabled"},
      {"click 99\n", "1: dialog 900 has no control 99"},
      {"click 21\n", "1: control 21 is an edit field, not a push button"},
      {"type 33 \"1\"\n", "1: control 33 is read-only"},
      {"slide 25 4\n", "1: control 25 is a scroll bar, not a trackbar"},
      {"scroll 26 0\n", "1: control 26 is a trackbar, not a scroll bar"},
      {"updown 30 0\n", "1: control 30 is a combo box, not a up-down control"},
      {"select 30 3\n", "1: combo box 30 has 3 items, no item 3"},
      {"wait -1\n", "1: wait needs a time of 0 ms or more"},
      {"close\nexpect title \"X\"\n", "2: no dialog is open for 'expect title'"},
      {"expect text 23 \"L\\\\b\" # a note\n", "1: expected text \"L\\b\" in control 23, found \"Label\""},
      {"expect hidden 20\n", "1: expected control 20 hidden, found it visible"},
      {"expect enabled 35\n", "1: expected control 35 enabled, found it disabled"},
      {"expect pos 25 3\n", "1: expected position 3 of control 25, found 10"},
      {"expect range 25 0 21\n", "1: expected range 0 to 21 of control 25, found 0 to 100"},
      {"expect focus 21\n", "1: expected the focus in control 21, found it in control 20"},
      {"expect title \"X\"\n", "1: expected title \"X\", found \"Fake Dialog\""},
      {"expect dialog 7\n", "1: expected dialog 7, found 900"},
      {"expect icon 139\n", "1: expected icon 139, found large 139 and small 0"},
      {"expect menu 17 \"About\"\n", "1: the system menu has no item 17"},
      {"expect message \"A\"\n", "1: expected message box \"A\", found none"},
      {"type 22 \"7\"\nclick 20\nexpect message error\n",
       "3: expected a message box with icon error, found icon warning (\"Only 5\")"},
      {"type 22 \"7\"\nclick 20\nexpect no-message\n", "3: expected no message box, found \"Only 5\""},
      {"type 22 \"7\"\nclick 20\nexpect hidden 20\n",
       "3: expected control 20 hidden, found it visible; a message box is waiting unseen: \"Only 5\""},
      {"expect title \"\x1b[2J\tA\xc2\x9b\xff\"\n",
       "1: expected title \"\\x1b[2J\\tA\\u009b\\xff\", found \"Fake Dialog\""},
      {"expect frames 4\n", "1: expected 4 frames, found 3"},
      {"expect frame 0 3\n", "1: expected start code 0, found 246"},
      {"expect frame 0xF6 4\n", "1: expected 4 slots, found 3"},
      {"expect frame 0xF6 3 3=2\n", "1: expected slot 3 = 2, found 3"},
      {"expect frame 0xF6 3 4=0\n", "1: the frame has no slot 4"},
  };
  for (const auto& [script, message] : cases) {
    const CRun run = RunOn(script, &frames);
    EXPECT_EQ(run.result.exitCode, 1) << script;
    EXPECT_EQ(run.result.message, "test.vxs:" + std::string(message));
    EXPECT_TRUE(!run.log.empty() && run.log.back().starts_with("destroy")) << "a failed script closes its dialog too";
  }
  EXPECT_EQ(RunOn("expect frames 3\nexpect frame 246 3 1=1 3=3\n", &frames).result.exitCode, 0);
  EXPECT_EQ(RunOn("expect frames 0\n").result.message, "test.vxs:1: no DMX line to look at");
}

TEST(ScriptHost, ScriptsThatCannotBeReadNameTheFileAndLine) {
  const auto error = [](const std::string& text) {
    const auto script = CScript::Parse(text, "a.vxs");
    return script ? std::string("read") : script.error().message;
  };
  EXPECT_EQ(error("click 1\nfly 3\n"), "a.vxs:2: unknown command 'fly'");
  EXPECT_EQ(error("expect colour 1\n"), "a.vxs:1: unknown expectation 'colour'");
  EXPECT_EQ(error("\x1b]0;x\a 1\n"), "a.vxs:1: unknown command '\\x1b]0;x\\x07'") << "a terminal never sees them";
  EXPECT_EQ(error("\"click\" 1\n"), "a.vxs:1: a line must start with a command");
  EXPECT_EQ(error("type 1 \"open\n"), "a.vxs:1: text without its closing quote");
  for (const char* wrong : {"click", "click \"1\"", "type 1 2", "scroll 1 SB_SIDEWAYS", "slide 1 2 3 4", "file other",
                            "close 1", "wait 99999999999", "expect pos 1", "expect message 5",
                            "expect message \"a\" loud", "expect frame 0 512 1=x", "answer maybe", "key Enter"}) {
    const std::string line = wrong;
    EXPECT_EQ(error(line), "a.vxs:1: wrong arguments for '" + line.substr(0, line.find(' ')) + "'");
  }
  EXPECT_EQ(CScript::Load("/nonexistent/x.vxs").error().message, "/nonexistent/x.vxs: cannot be read");
}

TEST(ScriptHost, AFieldIsCheckedBeforeTheClickThatTakesItsFocusAndTakingTheFocusBackLosesTheClick) {
  const CRun run = RunOn("type 22 \"7\"\nclick 20\nexpect message \"Only 5\" warning\nexpect text 22 \"5\"\n"
                         "expect focus 22\ntype 22 \"5\"\nselect 30 0\nexpect focus 30\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, ApplicationName());
  EXPECT_EQ(run.boxes[0].ownerResourceId, 900);
  EXPECT_EQ(run.log, (Log{"command 22 768 0@0", "command 22 512 0@0", "command 22 768 0@0", "command 22 512 0@0",
                          "command 30 1 0@0", "close 0 0 0@0", "destroy 0 0 0@0"}));
}

TEST(ScriptHost, AQuestionGetsTheAnswerGivenBeforeItAndNoWithoutOne) {
  const CRun run = RunOn("click 20\nanswer yes\nanswer no\nclick 20\nclick 20\nanswer yes\nclick 20\n"
                         "expect message \"Sure?\" warning\nexpect message \"Sure?\"\n"
                         "expect message\nexpect message\n", nullptr, AskSure);
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  const Log replies{run.log[1], run.log[3], run.log[5], run.log[7]};  // each after its click's entry
  EXPECT_EQ(replies, (Log{"no", "yes", "no", "yes"}));
  EXPECT_EQ(run.boxes.at(0).buttons, EMessageButtons::YesNo);
}

TEST(ScriptHost, InnerDialogTakesTheCommandsAndVirtualTimeFiresTimersInTimeThenSetOrderUntilItCloses) {
  const CRun run = RunOn("click 20\nexpect title \"Inner\"\nwait 60\nwait 40\nclose\n"
                         "expect title \"Fake Dialog\"\nwait 50\n", nullptr, OpenInner);
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  EXPECT_EQ(run.log, (Log{"command 20 0 0@0", ">timer 2 0 0@20", ">tick@20", ">timer 1 0 0@30", ">timer 2 0 0@40",
                          ">tick@40", ">timer 1 0 0@60", ">timer 2 0 0@60", ">tick@60",  // timer 1 is killed now
                          ">timer 2 0 0@80", ">tick@80", ">timer 2 0 0@100", ">tick@100", ">close 0 0 0@100",
                          ">destroy 0 0 0@100", "close 0 0 0@150", "destroy 0 0 0@150"}));
}

TEST(ThreadedScriptHost, RealtimePeriodicTimerRunsOnItsOwnThreadAndPostsToTheGuiThread) {
  CScriptHost host(*CScript::Parse("wait 120\n", "rt.vxs"), true);
  const auto gui = std::this_thread::get_id();
  std::atomic<int> ticks{0}, ticksOnGui{0}, tickPolicy{-1};
  int posted = 0, postedElsewhere = 0;
  EXPECT_EQ(host.Run([&] {
    const int id = host.StartPeriodicTimer(10, [&] {
      ticksOnGui += std::this_thread::get_id() == gui;
      tickPolicy = sched_getscheduler(0);
      ++ticks;
      host.PostToGui([&] { ++posted, postedElsewhere += std::this_thread::get_id() != gui; });
    });
    CFakeDialog().DoModal();
    host.StopPeriodicTimer(id);
  }).exitCode, 0);
  EXPECT_GE(ticks.load(), 3);
  EXPECT_GE(posted, 1);
  EXPECT_EQ(ticksOnGui.load() + postedElsewhere, 0);
  EXPECT_GE(host.NowUs(), 120'000);
  bool realtimeAllowed = false;
  std::thread([&] { realtimeAllowed = RequestRealtimeScheduling(); }).join();
  EXPECT_EQ(tickPolicy.load(), realtimeAllowed ? SCHED_FIFO : SCHED_OTHER) << "the tick asks for it where it may";
}
