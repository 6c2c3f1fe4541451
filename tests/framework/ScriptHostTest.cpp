// The script host: every command as a notification, failures with their line, virtual time.
#include "framework/Dialog.h"
#include "framework/ScriptHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

const CDialogTemplate& TestLayout() {
  static const CDialogTemplate layout{
      500, "Test Dialog", 200, 100, "MS Shell Dlg", 8, DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {
          {10, EControlKind::PushButton, {0, 0, 10, 10}, "Go"},
          {11, EControlKind::Edit, {0, 0, 10, 10}, "", ControlStyle::kDigitsOnly},
          {12, EControlKind::Edit, {0, 0, 10, 10}, "", ControlStyle::kReadOnly},
          {13, EControlKind::ScrollBar, {0, 0, 10, 10}, ""},
          {14, EControlKind::Trackbar, {0, 0, 10, 10}, "", ControlStyle::kVertical},
          {15, EControlKind::UpDown, {0, 0, 10, 10}, "", ControlStyle::kVertical},
          {16, EControlKind::ComboBox, {0, 0, 10, 10}, "", ControlStyle::kSorted},
          {17, EControlKind::PushButton, {0, 0, 10, 10}, "Hidden", 0, false},
          {18, EControlKind::PushButton, {0, 0, 10, 10}, "Disabled", 0, true, false},
          {19, EControlKind::Static, {0, 0, 10, 10}, "label"},
          {20, EControlKind::Edit, {0, 0, 10, 10}, "5"},
      }};
  return layout;
}

// A dialog that writes down every message it gets, in a form tests can compare.
class CRecordingDialog final : public CDialog {
 public:
  explicit CRecordingDialog(std::vector<std::string>& log) : CDialog(TestLayout()), m_log(log) {}

  bool OnInitDialog() override {
    m_log.push_back("init");
    Item(13).SetRange(0, 20);
    Item(14).SetRange(0, 255);
    Item(15).SetRange(0, 9);
    Item(16).AddItem("beta");
    Item(16).AddItem("alpha");
    SetTimer(1, 30);
    SetTimer(2, 20);
    return true;
  }
  const CMessageTable& MessageTable() const override {
    static const CMessageTable table = CMessageTableOf<CRecordingDialog>()
                                           .Command(EN_KILLFOCUS, 20, &CRecordingDialog::OnLeaveChecked)
                                           .Destroy(&CRecordingDialog::OnDestroy);
    return table;
  }
  void OnLeaveChecked() {
    m_log.push_back("kill 20 \"" + ItemText(20) + "\"");
    if (ItemText(20) != "5") {  // refuses everything but 5, as a range check would
      MessageBox("Only 5", EMessageIcon::Warning);
      SetItemText(20, "5");
      SetFocus(20);
    }
  }
  void OnDestroy() { m_log.push_back("destroy"); }

 private:
  std::vector<std::string>& m_log;
};

std::string Describe(const CMessage& m) {
  const char* kinds[] = {"command", "hscroll", "vscroll", "timer", "syscommand", "close", "destroy"};
  return std::string(kinds[static_cast<int>(m.kind)]) + " " + std::to_string(m.id) + " " + std::to_string(m.code) +
         " " + std::to_string(m.pos);
}

// Wraps a recording dialog so that every dispatched message is logged too.
class CTracingDialog final : public CDialog {
 public:
  explicit CTracingDialog(std::vector<std::string>& log) : CDialog(TestLayout()), m_log(log) {}
  bool OnInitDialog() override {
    Item(13).SetRange(0, 20);
    Item(14).SetRange(0, 255);
    Item(15).SetRange(0, 9);
    Item(16).AddItem("beta");
    Item(16).AddItem("alpha");
    return true;
  }
  const CMessageTable& MessageTable() const override {
    static const CMessageTable table = [] {
      CMessageTable t;
      for (EMessage kind : {EMessage::Command, EMessage::HScroll, EMessage::VScroll, EMessage::SysCommand,
                            EMessage::Close, EMessage::Destroy}) {
        t.push_back({kind, kAnyId, kAnyCode, [](CDialog& d, const CMessage& m) {
                       auto& self = static_cast<CTracingDialog&>(d);
                       self.m_log.push_back(Describe(m));
                       self.DefaultHandling(m);
                     }});
      }
      return t;
    }();
    return table;
  }
  std::vector<std::string>& m_log;
};

struct CRun {
  CScriptResult result;
  std::vector<std::string> log;
  std::vector<CMessageBox> boxes;
};

template <class D>
CRun RunOn(const std::string& text) {
  CRun run;
  auto script = CScript::Parse(text, "test.vxs");
  EXPECT_TRUE(script.has_value()) << (script ? "" : script.error().message);
  if (!script) return run;
  CScriptHost host(std::move(*script));
  run.result = host.Run([&] {
    D dialog(run.log);
    dialog.DoModal();
  });
  run.boxes = host.MessageBoxes();
  return run;
}

}  // namespace

TEST(ScriptHost, EachCommandReachesTheDialogAsItsNotification) {
  const CRun run = RunOn<CTracingDialog>(
      "click 10\n"
      "type 11 \"4a2\"   # digits only: the letter is refused\n"
      "expect text 11 \"42\"\n"
      "leave 11\n"
      "scroll 13 SB_LINERIGHT\n"
      "scroll 13 5 17\n"
      "slide 14 200\n"
      "slide 14 300 TB_ENDTRACK\n"
      "expect pos 14 255\n"
      "updown 15 4\n"
      "select 16 1\n"
      "expect text 16 \"beta\"\n"
      "sysmenu 0x10\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  const std::vector<std::string> expected = {
      "command 10 0 0",                 // click
      "command 11 768 0",               // typing: EN_CHANGE (focus moved from the button, no kill focus)
      "command 11 512 0",               // leave: EN_KILLFOCUS
      "hscroll 13 1 0",                 // the bar's own position is carried, not moved
      "hscroll 13 5 17",                // thumb tracking carries the dragged position
      "vscroll 14 5 200",               // a vertical trackbar moves first, then notifies
      "vscroll 14 8 255",               // clamped into its range
      "vscroll 15 4 4", "vscroll 15 8 4",  // up-down: new position, then end of the action
      "command 16 1 0",                 // CBN_SELCHANGE
      "syscommand 16 0 0",
      "close 0 0 0", "destroy 0 0 0",   // the script's end closes the dialog as a user would
  };
  EXPECT_EQ(run.log, expected);
}

TEST(ScriptHost, CommandsAUserCouldNotDoFailWithTheirLine) {
  struct CCase {
    const char* script;
    const char* message;
  };
  const CCase cases[] = {
      {"click 17\n", "test.vxs:1: control 17 is hidden"},
      {"wait 5\nclick 18\n", "test.vxs:2: control 18 is disabled"},
      {"click 99\n", "test.vxs:1: dialog 500 has no control 99"},
      {"click 11\n", "test.vxs:1: control 11 is an edit field, not a push button"},
      {"type 12 \"1\"\n", "test.vxs:1: control 12 is read-only"},
      {"slide 13 4\n", "test.vxs:1: control 13 is a scroll bar, not a trackbar"},
      {"select 16 2\n", "test.vxs:1: combo box 16 has 2 items, no item 2"},
      {"expect text 19 \"lab\"\n", "test.vxs:1: expected text \"lab\" in control 19, found \"label\""},
      {"expect hidden 10\n", "test.vxs:1: expected control 10 hidden, found it visible"},
      {"expect pos 13 3\n", "test.vxs:1: expected position 3 of control 13, found 0"},
      {"expect range 13 0 21\n", "test.vxs:1: expected range 0 to 21 of control 13, found 0 to 20"},
      {"expect title \"X\"\n", "test.vxs:1: expected title \"X\", found \"Test Dialog\""},
      {"expect dialog 7\n", "test.vxs:1: expected dialog 7, found 500"},
      {"expect message \"A\"\n", "test.vxs:1: expected message box \"A\", found none"},
      {"expect frames 0\n", "test.vxs:1: no DMX line to look at"},
  };
  for (const auto& c : cases) {
    const CRun run = RunOn<CTracingDialog>(c.script);
    EXPECT_EQ(run.result.exitCode, 1) << c.script;
    EXPECT_EQ(run.result.message, c.message);
    // A failed script still closes its dialog.
    ASSERT_FALSE(run.log.empty());
    EXPECT_EQ(run.log.back(), "destroy 0 0 0") << c.script;
  }
}

TEST(ScriptHost, UnreadableScriptsNameTheFileAndLine) {
  EXPECT_EQ(CScript::Parse("click 1\nfly 3\n", "a.vxs").error().message, "a.vxs:2: unknown command 'fly'");
  EXPECT_EQ(CScript::Parse("type 1 \"open\n", "a.vxs").error().message, "a.vxs:1: text without its closing quote");
  EXPECT_EQ(CScript::Parse("scroll 1 SB_SIDEWAYS\n", "a.vxs").error().message, "a.vxs:1: wrong arguments for 'scroll'");
  EXPECT_EQ(CScript::Parse("expect frame 0 512 1=x\n", "a.vxs").error().message,
            "a.vxs:1: wrong arguments for 'expect'");
  EXPECT_EQ(CScript::Load("/nonexistent/x.vxs").error().message, "/nonexistent/x.vxs: cannot be read");
  auto ok = CScript::Parse("# comment\n\nexpect text 0x10 \"a \\\"b\\\" \\\\\" # trailing\n", "a.vxs");
  ASSERT_TRUE(ok.has_value());
  ASSERT_EQ(ok->Lines().size(), 1u);
  EXPECT_EQ(ok->Lines()[0].number, 3);
  EXPECT_EQ(ok->Lines()[0].args[1].number, 16);
  EXPECT_EQ(ok->Lines()[0].args[2].text, "a \"b\" \\");
}

TEST(ScriptHost, FieldCheckOnLeavingRunsBeforeAClickAndCanSwallowIt) {
  const CRun run = RunOn<CRecordingDialog>(
      "type 20 \"7\"\n"
      "click 10\n"  // the field refuses 7: message, field reset, focus back; the click is lost
      "expect message \"Only 5\" warning\n"
      "expect text 20 \"5\"\n"
      "expect focus 20\n"
      "expect no-message\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption, ApplicationName());
  EXPECT_EQ(run.boxes[0].ownerResourceId, 500);
  EXPECT_EQ(run.log, (std::vector<std::string>{"init", "kill 20 \"7\"", "destroy"}));
}

namespace {
// Window timers and a periodic timer, each logging the virtual time it fired at.
class CTimerDialog final : public CDialog {
 public:
  CTimerDialog(std::vector<std::string>& log) : CDialog(TestLayout()), m_log(log) {}
  bool OnInitDialog() override {
    SetTimer(1, 30);
    SetTimer(2, 20);
    m_periodic = CHost::Current().StartPeriodicTimer(20, [this] { Log("tick"); });
    return true;
  }
  const CMessageTable& MessageTable() const override {
    static const CMessageTable table = CMessageTableOf<CTimerDialog>().Timer(&CTimerDialog::OnTimer).Destroy(&CTimerDialog::OnDestroy);
    return table;
  }
  void OnTimer(int id) {
    Log("timer" + std::to_string(id));
    if (id == 1 && ++m_fired == 2) KillTimer(1);
  }
  void OnDestroy() { CHost::Current().StopPeriodicTimer(m_periodic); }
  void Log(const std::string& what) { m_log.push_back(what + "@" + std::to_string(CHost::Current().NowUs() / 1000)); }

 private:
  std::vector<std::string>& m_log;
  int m_periodic = 0;
  int m_fired = 0;
};
}  // namespace

TEST(ScriptHost, VirtualTimeFiresTimersInTimeOrderThenInTheOrderTheyWereSet) {
  const CRun run = RunOn<CTimerDialog>("wait 60\nwait 40\n");
  ASSERT_EQ(run.result.exitCode, 0) << run.result.message;
  const std::vector<std::string> expected = {
      "timer2@20", "tick@20", "timer1@30", "timer2@40", "tick@40", "timer1@60", "timer2@60", "tick@60",
      // timer 1 was killed after its second tick
      "timer2@80", "tick@80", "timer2@100", "tick@100"};
  EXPECT_EQ(run.log, expected);
}

TEST(ThreadedScriptHost, RealtimePeriodicTimerRunsOnItsOwnThreadAndPostsToTheGuiThread) {
  auto script = CScript::Parse("wait 120\n", "rt.vxs");
  ASSERT_TRUE(script.has_value());
  CScriptHost host(std::move(*script), true);
  const auto gui = std::this_thread::get_id();
  std::atomic<int> ticks{0};
  std::atomic<bool> tickedElsewhere{false};
  int posted = 0;
  bool postedOnGui = true;
  std::vector<std::string> log;
  const CScriptResult result = host.Run([&] {
    const int id = host.StartPeriodicTimer(10, [&] {
      if (std::this_thread::get_id() != gui) tickedElsewhere = true;
      ++ticks;
      host.PostToGui([&] {
        ++posted;
        postedOnGui = postedOnGui && std::this_thread::get_id() == gui;
      });
    });
    CTracingDialog dialog(log);
    dialog.DoModal();
    host.StopPeriodicTimer(id);
  });
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_GE(ticks.load(), 3);
  EXPECT_TRUE(tickedElsewhere);
  EXPECT_GE(posted, 1);
  EXPECT_TRUE(postedOnGui);
  EXPECT_GE(host.NowUs(), 120'000);
}
