// The script host: each command reaches the dialog as its notification, what a user could not do
// fails with its line, unreadable scripts name file and line, the focus rule, virtual time,
// nested dialogs and posted work.
#include "base/RealtimeScheduling.h"
#include "framework/Dialog.h"
#include "framework/ScriptHost.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

using K = EControlKind;
using Log = std::vector<std::string>;

const CDialogTemplate& TestLayout() {
  static const CDialogTemplate layout{
      500, "Test Dialog", 200, 100, "MS Shell Dlg", 8, DialogStyle::kSysMenu,
      {{10, K::PushButton, {}, "Go"},                     {11, K::Edit, {}, "", ControlStyle::kDigitsOnly},
       {12, K::Edit, {}, "", ControlStyle::kReadOnly},   {13, K::ScrollBar, {}, ""},
       {14, K::Trackbar, {}, "", ControlStyle::kVertical}, {15, K::UpDown, {}, "", ControlStyle::kVertical},
       {16, K::ComboBox, {}, "", ControlStyle::kSorted},  {17, K::PushButton, {}, "Hidden", 0, false},
       {18, K::PushButton, {}, "Disabled", 0, true, false}, {19, K::Static, {}, "label"},
       {20, K::Edit, {}, "5"},  // refuses all but 5 when it loses the focus
       {21, K::DefPushButton, {}, "Open"},  // opens an inner dialog with timers over this one
       {22, K::PushButton, {}, "Ask"}}};     // asks a question and logs the reply
  return layout;
}

// Logs each message as "kind id code pos@ms" (an inner dialog's after a '>') and each periodic tick.
class CTestDialog final : public CDialog {
 public:
  CTestDialog(Log& log, bool inner = false) : CDialog(TestLayout()), m_log(log), m_inner(inner) {}

  bool OnInitDialog() override {
    Item(13).SetRange(0, 20);
    Item(14).SetRange(0, 255);
    Item(15).SetRange(0, 9);
    Item(16).AddItem("beta");
    Item(16).AddItem("alpha");
    if (!m_inner) return true;
    SetTitle("Inner");
    SetTimer(1, 30);
    SetTimer(2, 20);
    m_periodic = CHost::Current().StartPeriodicTimer(20, [this] { m_log.push_back(">tick@" + Now()); });
    return true;
  }
  const CMessageTable& MessageTable() const override {
    static const CMessageTable table = [] {
      CMessageTable t;
      for (EMessage kind : {EMessage::Command, EMessage::HScroll, EMessage::VScroll, EMessage::Timer,
                            EMessage::SysCommand, EMessage::Close, EMessage::Destroy})
        t.push_back({kind, kAnyId, kAnyCode,
                     [](CDialog& d, const CMessage& m) { static_cast<CTestDialog&>(d).Handle(m); }});
      return t;
    }();
    return table;
  }

 private:
  static std::string Now() { return std::to_string(CHost::Current().NowUs() / 1000); }
  void Handle(const CMessage& m) {
    const char* kinds[] = {"command", "hscroll", "vscroll", "timer", "syscommand", "close", "destroy"};
    m_log.push_back(std::string(m_inner ? ">" : "") + kinds[static_cast<int>(m.kind)] + " " + std::to_string(m.id) +
                    " " + std::to_string(m.code) + " " + std::to_string(m.pos) + "@" + Now());
    const bool command = m.kind == EMessage::Command;
    if (command && m.id == 20 && m.code == EN_KILLFOCUS && ItemText(20) != "5") {
      MessageBox("Only 5", EMessageIcon::Warning);
      SetItemText(20, "5");
      SetFocus(20);
    } else if (command && m.id == 21 && !m_inner) {
      std::make_unique<CTestDialog>(m_log, true)->DoModal();  // on the heap, where a dangling timer shows
    } else if (command && m.id == 22) {
      m_log.push_back(Ask("Sure?", EMessageIcon::Warning) ? "yes" : "no");
    } else if (command && m.id == 10) {
      PostToSelf([this] { m_log.push_back("posted"); });
    } else if (m.kind == EMessage::Timer && m.id == 1 && ++m_ticks == 2) {
      KillTimer(1);
    } else if (m.kind == EMessage::Destroy) {
      if (m_inner) CHost::Current().StopPeriodicTimer(m_periodic);
      PostToSelf([this] { m_log.push_back("posted after the end"); });  // the dialog is gone by then
    } else {
      DefaultHandling(m);
    }
  }

  Log& m_log;
  bool m_inner;
  int m_periodic = 0;
  int m_ticks = 0;
};

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

CRun RunOn(const std::string& text, const CFrameSource* frames = nullptr) {
  CRun run;
  auto script = CScript::Parse(text, "test.vxs");
  if (!script) return ADD_FAILURE() << script.error().message, run;
  CScriptHost host(std::move(*script));
  host.SetFrameSource(frames);
  run.result = host.Run([&] { CTestDialog(run.log).DoModal(); });
  run.boxes = host.MessageBoxes();
  return run;
}

}  // namespace

TEST(ScriptHost, EachCommandReachesTheDialogAsItsNotification) {
  const CRun run = RunOn(
      "expect focus 10\nclick 10\n"
      "type 11 \"4a2\"   # digits only: the letter is refused\nexpect text 11 \"42\"\nleave 11\n"
      "scroll 13 SB_LINERIGHT\nscroll 13 5 17\nexpect pos 13 0\n"
      "slide 14 200\nslide 14 300 TB_ENDTRACK\nexpect pos 14 255\n"
      "updown 15 4\nselect 16 1\nexpect text 16 \"beta\"\nsysmenu 0x10\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  EXPECT_EQ(run.log, (Log{
      "command 10 0 0@0", "posted",      // click; the work it posts runs before the next line
      "command 11 768 0@0",              // typing: EN_CHANGE (the focus came from a button: no kill focus)
      "command 11 512 0@0",              // leave: EN_KILLFOCUS
      "hscroll 13 1 0@0",                // a scroll bar carries its own position and does not move
      "hscroll 13 5 17@0",               // thumb tracking carries the dragged position
      "vscroll 14 5 200@0",              // a vertical trackbar moves first, then notifies
      "vscroll 14 8 255@0",              // clamped into its range
      "vscroll 15 4 4@0", "vscroll 15 8 4@0",  // up-down: new position, then the end of the action
      "command 16 1 0@0", "syscommand 16 0 0@0",
      "close 0 0 0@0", "destroy 0 0 0@0"}));  // the script's end closes the dialog as a user would
}

TEST(ScriptHost, WhatAUserCouldNotDoAndExpectationsThatFailNameTheirLine) {
  const CTestFrames frames;
  const std::pair<const char*, const char*> cases[] = {
      {"click 17\n", "1: control 17 is hidden"},
      {"wait 5\nclick 18\n", "2: control 18 is disabled"},
      {"click 99\n", "1: dialog 500 has no control 99"},
      {"click 11\n", "1: control 11 is an edit field, not a push button"},
      {"type 12 \"1\"\n", "1: control 12 is read-only"},
      {"slide 13 4\n", "1: control 13 is a scroll bar, not a trackbar"},
      {"scroll 14 0\n", "1: control 14 is a trackbar, not a scroll bar"},
      {"updown 16 0\n", "1: control 16 is a combo box, not a up-down control"},
      {"select 16 2\n", "1: combo box 16 has 2 items, no item 2"},
      {"wait -1\n", "1: wait needs a time of 0 ms or more"},
      {"close\nexpect title \"X\"\n", "2: no dialog is open for 'expect title'"},
      {"expect text 19 \"lab\"\n", "1: expected text \"lab\" in control 19, found \"label\""},
      {"expect hidden 10\n", "1: expected control 10 hidden, found it visible"},
      {"expect enabled 18\n", "1: expected control 18 enabled, found it disabled"},
      {"expect pos 13 3\n", "1: expected position 3 of control 13, found 0"},
      {"expect range 13 0 21\n", "1: expected range 0 to 21 of control 13, found 0 to 20"},
      {"expect focus 11\n", "1: expected the focus in control 11, found it in control 10"},
      {"expect title \"X\"\n", "1: expected title \"X\", found \"Test Dialog\""},
      {"expect dialog 7\n", "1: expected dialog 7, found 500"},
      {"expect icon 139\n", "1: expected icon 139, found large 0 and small 0"},
      {"expect menu 16 \"About\"\n", "1: the system menu has no item 16"},
      {"expect message \"A\"\n", "1: expected message box \"A\", found none"},
      {"type 20 \"7\"\nclick 10\nexpect message error\n",
       "3: expected a message box with icon error, found icon warning (\"Only 5\")"},
      {"type 20 \"7\"\nclick 10\nexpect no-message\n", "3: expected no message box, found \"Only 5\""},
      {"type 20 \"7\"\nclick 10\nexpect hidden 10\n",
       "3: expected control 10 hidden, found it visible; a message box is waiting unseen: \"Only 5\""},
      {"expect title \"\x1b[2J\tA\xc2\x9b\xff\"\n",
       "1: expected title \"\\x1b[2J\\tA\\u009b\\xff\", found \"Test Dialog\""},
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
                            "expect message \"a\" loud", "expect frame 0 512 1=x", "answer maybe"}) {
    const std::string line = wrong;
    EXPECT_EQ(error(line), "a.vxs:1: wrong arguments for '" + line.substr(0, line.find(' ')) + "'");
  }
  EXPECT_EQ(CScript::Load("/nonexistent/x.vxs").error().message, "/nonexistent/x.vxs: cannot be read");
  const auto ok = CScript::Parse("# comment\n\nexpect text 0x10 \"a \\\"b\\\" \\\\\" # trailing\nfile cancel\n"
                                 "expect message \"m\" warning\nscroll 1 4 -3\n", "a.vxs");
  ASSERT_TRUE(ok.has_value()) << ok.error().message;
  ASSERT_EQ(ok->Lines().size(), 4u);
  EXPECT_EQ(ok->Lines()[0].number, 3);
  EXPECT_EQ(ok->Lines()[0].args[1].number, 16);
  EXPECT_EQ(ok->Lines()[0].args[2].text, "a \"b\" \\");
  EXPECT_EQ(ok->Lines()[3].args[2].number, -3);
}

TEST(ScriptHost, AFieldIsCheckedBeforeTheClickThatTakesItsFocusAndTakingTheFocusBackLosesTheClick) {
  const CRun run = RunOn("type 20 \"7\"\nclick 10\nexpect message \"Only 5\" warning\nexpect text 20 \"5\"\n"
                         "expect focus 20\ntype 20 \"5\"\nselect 16 0\nexpect focus 16\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, ApplicationName());
  EXPECT_EQ(run.boxes[0].ownerResourceId, 500);
  EXPECT_EQ(run.log, (Log{"command 20 768 0@0", "command 20 512 0@0", "command 20 768 0@0", "command 20 512 0@0",
                          "command 16 1 0@0", "close 0 0 0@0", "destroy 0 0 0@0"}));
}

TEST(ScriptHost, AQuestionGetsTheAnswerGivenBeforeItAndNoWithoutOne) {
  const CRun run = RunOn("click 22\nanswer yes\nanswer no\nclick 22\nclick 22\nanswer yes\nclick 22\n"
                         "expect message \"Sure?\" warning\nexpect message \"Sure?\"\n"
                         "expect message\nexpect message\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  const Log replies{run.log[1], run.log[3], run.log[5], run.log[7]};  // each after its click's entry
  EXPECT_EQ(replies, (Log{"no", "yes", "no", "yes"}));
  EXPECT_EQ(run.boxes.at(0).buttons, EMessageButtons::YesNo);
}

TEST(ScriptHost, InnerDialogTakesTheCommandsAndVirtualTimeFiresTimersInTimeThenSetOrderUntilItCloses) {
  const CRun run =
      RunOn("click 21\nexpect title \"Inner\"\nwait 60\nwait 40\nclose\nexpect title \"Test Dialog\"\nwait 50\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  EXPECT_EQ(run.log, (Log{"command 21 0 0@0", ">timer 2 0 0@20", ">tick@20", ">timer 1 0 0@30", ">timer 2 0 0@40",
                          ">tick@40", ">timer 1 0 0@60", ">timer 2 0 0@60", ">tick@60",  // timer 1 is killed now
                          ">timer 2 0 0@80", ">tick@80", ">timer 2 0 0@100", ">tick@100", ">close 0 0 0@100",
                          ">destroy 0 0 0@100", "close 0 0 0@150", "destroy 0 0 0@150"}));
}

TEST(ThreadedScriptHost, RealtimePeriodicTimerRunsOnItsOwnThreadAndPostsToTheGuiThread) {
  CScriptHost host(*CScript::Parse("wait 120\n", "rt.vxs"), true);
  const auto gui = std::this_thread::get_id();
  std::atomic<int> ticks{0}, ticksOnGui{0}, tickPolicy{-1};
  int posted = 0, postedElsewhere = 0;
  Log log;
  EXPECT_EQ(host.Run([&] {
    const int id = host.StartPeriodicTimer(10, [&] {
      ticksOnGui += std::this_thread::get_id() == gui;
      tickPolicy = sched_getscheduler(0);
      ++ticks;
      host.PostToGui([&] { ++posted, postedElsewhere += std::this_thread::get_id() != gui; });
    });
    CTestDialog(log).DoModal();
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
