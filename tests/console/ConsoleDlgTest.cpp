// The console dialog through the script host: each control reaches the engine, its state reaches the controls;
// and its tick on a thread of its own while the GUI thread works the console.
#include <algorithm>
#include <fstream>
#include <thread>

#include "ConsoleTestSupport.h"
#include "console/ConsoleDlg.h"
#include "framework/ScriptHost.h"
#include "support/ScriptRun.h"
#include "support/TempFolder.h"

// Runs the console `openings` times on data of its own, as the launcher's button does; the script must pass.
static CScriptRun RunConsole(const std::string& script, int openings = 1) {
  const auto data = std::make_unique<CConsoleData>();
  CScriptRun run = RunScript(script, [&](CDmxLink& link) {
    for (int opening = 0; opening < openings; ++opening, link.DmxLinkStandBy()) {
      link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
      CConsoleDlg(link, *data).DoModal();
    }
  });
  EXPECT_TRUE(run.Passed()) << run.result.message;
  return run;
}

static const std::initializer_list<int> kEditing = {1004, 1097, 1100, 1000, 1001, 1002,
                                                    1003, 1101, 1103, 1107, 1106, 1108};

TEST(ConsoleDlg, FadersChannelBarCleanAndStandAloneReachTheEngineEveryTick) {
  RunConsole(
      "expect focus 1004\nexpect pos 1097 255\nwait 24\nexpect frames 0\nwait 1\nexpect frames 1\n"
      "slide 1004 0 TB_LINEUP\nscroll 1100 SB_THUMBTRACK 111\nslide 1097 5 TB_ENDTRACK\n"
      "slide 1094 55 TB_TOP\nslide 1094 0 9\nexpect text 1006 \"112\"\nexpect text 1098 \"250\"\n"
      "expect text 1095 \"200\"\nwait 25\nexpect frame 0 512 1=255 142=200 143=250\n"
      "scroll 1100 SB_THUMBTRACK 475\nscroll 1100 SB_PAGERIGHT\nexpect pos 1100 480\nexpect text 1099 \"512\"\n"
      "scroll 1100 SB_THUMBTRACK 0\nexpect pos 1004 0\nexpect text 1005 \"255\"\nexpect text 1006 \"1\"\n"
      "scroll 1100 SB_THUMBTRACK 111\nclick 1001\nexpect pos 1094 255\nexpect pos 1097 255\nexpect text 1095 \"0\"\n"
      "click 1000\nexpect text 1000 \"DMX Out\"\nclick 1000\nexpect text 1000 \"Stand Alone\"\n");  // the next state
}

TEST(ConsoleDlg, SystemMenuItemTogglesTheChasePanelWhichANewConsoleShowsAsTheLastOneLeftIt) {
  const std::string asCreated =
      Expect("visible", {1101, 1107, 1102, 1106, 1002, 1003, 1103, 1108, 1277, 1278, 1266, 1105, 1279, 1104, 1280}) +
      Expect("enabled", {1101, 1106, 1003, 1105, 1104}) + Expect("disabled", {1107, 1102, 1002, 1103, 1108, 1266}) +
      "expect text 1277 \"0\"\nexpect range 1105 0 5999\nexpect range 1104 0 6000\n";
  RunConsole(
      "expect menu 32 \"Chase Panel\"\nexpect hidden 1101\nsysmenu 32\n" + asCreated +
          "expect pos 1105 0\nexpect pos 1104 0\nexpect text 1279 \"0'0.1\\\"\"\n"
          "slide 1105 654\nslide 1104 6000 TB_ENDTRACK\nexpect text 1279 \"1'5.5\\\"\"\n"
          "expect text 1280 \"10'0.0\\\"\"\nslide 1104 9 TB_THUMBPOSITION\nexpect text 1280 \"0'0.9\\\"\"\n"
          "click 1101\nexpect focus 1101\nsysmenu 32\nexpect focus 1004\n" +
          Expect("hidden", {1101, 1102, 1266, 1277, 1278, 1279, 1280, 1105, 1104}) +
          "sysmenu 32\nexpect visible 1101\nclose\nexpect message \"The chase has changes that were not saved. "
          "Close the console and lose them?\" warning\nexpect visible 1101\nanswer yes\nsysmenu 0xF060\n"
          "expect message warning\n" + asCreated +  // the settings are those the chase keeps
          "expect pos 1105 654\nexpect text 1279 \"1'5.5\\\"\"\nexpect pos 1104 9\nexpect text 1280 \"0'0.9\\\"\"\n"
          "sysmenu 32\nclose\nexpect hidden 1101\n", 3);
}

TEST(ConsoleDlg, ChasePanelControlsReachTheEngineAndShowItsState) {
  RunConsole(
      "sysmenu 32\nslide 1004 245\nclick 1101\nexpect text 1277 \"1\"\nexpect text 1278 \"2\"\n" +
      Expect("enabled", {1108, 1102, 1266}) + "expect range 1266 0 1\nexpect pos 1266 1\nclick 1101\n"
      "updown 1266 0\nexpect text 1101 \"Add\"\nexpect text 1278 \"1\"\nexpect text 1005 \"10\"\n"
      "expect enabled 1002\nupdown 1266 1\nexpect text 1101 \"Overwrite\"\nexpect enabled 1107\nclick 1003\n"
      "expect enabled 1103\nclick 1107\nexpect pos 1004 255\nexpect text 1277 \"3\"\nclick 1103\n"
      "expect text 1005 \"10\"\nupdown 1266 3\nslide 1004 200\nclick 1102\nexpect range 1266 0 2\n"
      "expect pos 1266 3\nexpect text 1102 \"Stop\"\n" + Expect("disabled", kEditing) +
      Expect("enabled", {1102, 1266, 1105, 1104}) +  // the faders keep what they showed; the 6th tick moves on
      "slide 1105 0\nexpect text 1279 \"0'0.1\\\"\"\nexpect pos 1004 200\nwait 150\nexpect text 1278 \"2\"\n"
      "updown 1266 0\nexpect disabled 1105\nwait 25\nexpect text 1278 \"1\"\nclick 1102\nexpect text 1102 \"Run\"\n"
      "expect text 1101 \"Overwrite\"\nexpect range 1266 0 3\nexpect pos 1004 245\n" + Expect("enabled", kEditing) +
      "expect enabled 1105\nclick 1002\nexpect text 1277 \"2\"\nexpect text 1005 \"0\"\n");
}

TEST(ConsoleDlg, SavedChaseOpensWithTheFileNameInTheTitleAndRefusalsChangeNothing) {
  const CTempFolder folder;
  const std::string path = (folder / "show.zkc").string();
  std::ofstream(folder / "short.zkc") << "short";
  const std::string loaded =
      "expect title \"DMX Console V1.1 - show\"\nexpect pos 1105 9\nexpect pos 1104 10\nexpect pos 1007 0\n";
  const CScriptRun run = RunConsole(
      "sysmenu 32\nslide 1007 0\nclick 1101\nslide 1105 9\nslide 1104 10\nfile \"" + path +
          "\"\nclick 1108\nexpect no-message\nexpect title \"DMX Console V1.1 - show\"\nclose\n"
          "expect title \"DMX Console V2.0\"\nfile \"" + path + "\"\nclick 1106\nexpect no-message\n" +
          loaded + "file \"" + (folder / "short.zkc").string() + "\"\nclick 1106\nexpect message warning\n" + loaded +
          "file cancel\nclick 1106\nfile cancel\nclick 1108\nexpect no-message\nfile \"" +
          (folder / "nowhere/x.zkc").string() + "\"\nclick 1108\nexpect message warning\n" + loaded,
      2);
  ASSERT_TRUE(run.Passed());
  EXPECT_NE(run.boxes.at(0).text.find("short.zkc"), std::string::npos) << run.boxes[0].text;
  ASSERT_EQ(run.fileDialogs.size(), 6u);
  EXPECT_TRUE(run.fileDialogs[0].kind == EFileDialogKind::Save && run.fileDialogs[1].kind == EFileDialogKind::Open);
  for (const CFileDialog& d : run.fileDialogs)
    EXPECT_EQ(d.defaultExtension + d.initialName + d.filter + (d.hideReadOnly && d.fileMustExist ? "" : "!"),
              "zkc*.zkcZelkar Lighting Chase Files (*.zkc)|*.zkc|All Files (*.*)|*.*||");
}

// In real time the periodic timer is a thread: the tick runs there while this thread works the console.
TEST(ThreadedConsoleDlg, EveryTickSendsOneWholeStepWhileTheGuiThreadWorksTheConsole) {
  CScriptHost host(*CScript::Parse("", "script"), true);
  CHost::SetCurrent(&host);
  CRecordingLink link;
  link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
  const auto data = std::make_unique<CConsoleData>();
  {
    CConsoleDlg console(link, *data);
    console.CreateControls();
    console.OnInitDialog();
    const auto move = [&console](EMessage kind, int id, int pos) {
      console.Item(id).SetPos(pos);
      console.Dispatch({kind, id, SB_THUMBTRACK, console.Item(id).Pos()});
    };
    const auto click = [&console](int id) { console.Dispatch({EMessage::Command, id, BN_CLICKED, 0}); };
    const auto captions = [&console] {  // the panel's captions come and go with it
      return std::ranges::count_if(console.Controls(), [](const auto& c) {
        return c->Id() == IDC_STATIC && c->Kind() == EControlKind::Static && c->IsVisible(); });
    };
    EXPECT_EQ(captions(), 0);
    console.Dispatch({EMessage::SysCommand, CConsoleDlg::kChasePanelCommand, 0, 0});
    EXPECT_EQ(captions(), 4);
    for (const int pos : {245, 235, 225})  // three steps of channels 1 and 32
      move(EMessage::VScroll, 1004, pos), move(EMessage::VScroll, 1097, pos), click(1101);
    for (int i = 0; i < 1500; ++i, std::this_thread::sleep_for(std::chrono::microseconds(600))) {
      if (i % 7 == 0) click(1102);  // Run or Stop
      move(EMessage::HScroll, 1105, i % 2);
      move(EMessage::VScroll, 1266, i / 50 % 3);
      move(EMessage::VScroll, CConsoleDlg::FaderId(20), i % 256);  // channel 21, in no step
    }
    console.Dispatch({EMessage::Destroy, 0, 0, 0});
    console.DestroyControls();
  }
  CHost::SetCurrent(nullptr);
  const std::vector<CDmxFrame> frames = link.Frames();
  ASSERT_GT(frames.size(), 20u);
  for (const CDmxFrame& f : frames)  // one whole step: channels 1 and 32 at 0, 10, 20 or 30, the others but 21 at 0
    ASSERT_TRUE(f.slots[0] % 10 == 0 && f.slots[31] == f.slots[0] &&
                std::accumulate(f.slots.begin(), f.slots.begin() + kStepSize, 0) - f.slots[20] == 2 * f.slots[0]);
}
