// The console dialog's wiring through the script host, and its tick on a thread of its own beside the GUI thread.
#include <algorithm>
#include <fstream>
#include <thread>

#include "ConsoleTestSupport.h"
#include "console/ConsoleDlg.h"
#include "framework/ScriptHost.h"
#include "support/ScriptRun.h"
#include "support/TempFolder.h"

using D = CConsoleDlg;

// The script with the console's controls named: {fader0} is column 0's fader, {value31} and {label31} the last
// column's value box and channel label.
static std::string Named(const std::string& script) {
  std::vector<std::pair<std::string, int>> names{
      {"standAlone", D::kStandAloneButton}, {"clean", D::kCleanButton},     {"bar", D::kChannelBar},
      {"add", D::kAddButton},              {"insert", D::kInsertButton},   {"run", D::kRunButton},
      {"open", D::kOpenButton},            {"delete", D::kDeleteButton},   {"copy", D::kCopyButton},
      {"paste", D::kPasteButton},          {"save", D::kSaveButton},       {"count", D::kStepCountDisplay},
      {"number", D::kStepNumberDisplay},   {"selector", D::kStepSelector}, {"speed", D::kSpeedSlider},
      {"speedDisplay", D::kSpeedDisplay},  {"fade", D::kFadeSlider},       {"fadeDisplay", D::kFadeDisplay}};
  for (int k = 0; k < D::kColumns; ++k) {
    names.push_back({"fader" + std::to_string(k), D::FaderId(k)});
    names.push_back({"value" + std::to_string(k), D::ValueBoxId(k)});
    names.push_back({"label" + std::to_string(k), D::LabelId(k)});
  }
  return WithIds(script, names);
}

// Runs the console `openings` times on data of its own, as the launcher's button does; the script must pass.
static CScriptRun RunConsole(const std::string& script, int openings = 1) {
  const auto data = std::make_unique<CConsoleData>();
  CScriptRun run = RunScript(Named(script), [&](CDmxLink& link) {
    for (int opening = 0; opening < openings; ++opening, link.DmxLinkStandBy()) {
      link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
      CConsoleDlg(link, *data).DoModal();
    }
  });
  EXPECT_TRUE(run.Passed()) << run.result.message;
  return run;
}

static const std::initializer_list<int> kEditing = {
    D::FaderId(0),  D::FaderId(31), D::kChannelBar,  D::kStandAloneButton, D::kCleanButton, D::kDeleteButton,
    D::kCopyButton, D::kAddButton,  D::kPasteButton, D::kInsertButton,     D::kOpenButton,  D::kSaveButton};
// The chase panel's controls.
static const std::initializer_list<int> kPanel = {
    D::kAddButton,    D::kInsertButton, D::kRunButton,    D::kOpenButton,       D::kDeleteButton,
    D::kCopyButton,   D::kPasteButton,  D::kSaveButton,   D::kStepCountDisplay, D::kStepNumberDisplay,
    D::kStepSelector, D::kSpeedSlider,  D::kSpeedDisplay, D::kFadeSlider,       D::kFadeDisplay};

TEST(ConsoleDlg, FadersChannelBarAndCleanReachTheEngineAndTheColumns) {
  RunConsole(
      "expect focus {fader0}\nexpect pos {fader31} 255\nslide {fader0} 0 TB_LINEUP\nscroll {bar} SB_THUMBTRACK 111\n"
      "slide {fader31} 5 TB_ENDTRACK\nslide {fader30} 55 TB_TOP\nslide {fader30} 0 9\nexpect text {label0} \"112\"\n"
      "expect text {value31} \"250\"\nexpect text {value30} \"200\"\nwait 25\n"
      "expect frame 0 512 1=255 142=200 143=250\nscroll {bar} SB_THUMBTRACK 0\nexpect pos {fader0} 0\n"
      "expect text {value0} \"255\"\nexpect text {label0} \"1\"\nscroll {bar} SB_THUMBTRACK 111\nclick {clean}\n"
      "expect pos {fader30} 255\nexpect pos {fader31} 255\nexpect text {value30} \"0\"\n");
}

TEST(ConsoleDlg, SystemMenuItemTogglesTheChasePanelWhichANewConsoleShowsAsTheLastOneLeftIt) {
  const std::string asCreated =
      Expect("visible", kPanel) +
      Expect("enabled", {D::kAddButton, D::kOpenButton, D::kCopyButton, D::kSpeedSlider, D::kFadeSlider}) +
      Expect("disabled",
             {D::kInsertButton, D::kRunButton, D::kDeleteButton, D::kPasteButton, D::kSaveButton, D::kStepSelector}) +
      "expect text {count} \"0\"\nexpect range {speed} 0 5999\nexpect range {fade} 0 6000\n";
  RunConsole(
      "expect menu 32 \"Chase Panel\"\nexpect hidden {add}\nsysmenu 32\n" + asCreated +
          "expect pos {speed} 0\nexpect pos {fade} 0\nexpect text {speedDisplay} \"0'0.1\\\"\"\n"
          "slide {speed} 654\nslide {fade} 6000 TB_ENDTRACK\nexpect text {speedDisplay} \"1'5.5\\\"\"\n"
          "expect text {fadeDisplay} \"10'0.0\\\"\"\nslide {fade} 9 TB_THUMBPOSITION\n"
          "expect text {fadeDisplay} \"0'0.9\\\"\"\n"
          "click {add}\nexpect focus {add}\nsysmenu 32\nexpect focus {fader0}\n" +
          Expect("hidden", {D::kAddButton, D::kRunButton, D::kStepSelector, D::kStepCountDisplay, D::kStepNumberDisplay,
                            D::kSpeedDisplay, D::kFadeDisplay, D::kSpeedSlider, D::kFadeSlider}) +
          "sysmenu 32\nexpect visible {add}\nclose\nexpect message \"The chase has changes that were not saved. "
          "Close the console and lose them?\" warning\nexpect visible {add}\nanswer yes\nsysmenu 0xF060\n"
          "expect message warning\n" + asCreated + "sysmenu 32\nclose\nexpect hidden {add}\n", 3);
}

TEST(ConsoleDlg, ChasePanelControlsReachTheEngineAndShowItsState) {
  RunConsole(
      "sysmenu 32\nslide {fader0} 245\nclick {add}\nexpect text {count} \"1\"\nexpect text {number} \"2\"\n" +
      Expect("enabled", {D::kSaveButton, D::kRunButton, D::kStepSelector}) +
      "expect range {selector} 0 1\nexpect pos {selector} 1\nclick {add}\nupdown {selector} 0\n"
      "expect text {add} \"Add\"\nexpect text {number} \"1\"\nexpect text {value0} \"10\"\nexpect enabled {delete}\n"
      "updown {selector} 1\nexpect text {add} \"Overwrite\"\nexpect enabled {insert}\nclick {copy}\n"
      "expect enabled {paste}\nclick {insert}\nexpect pos {fader0} 255\nexpect text {count} \"3\"\nclick {paste}\n"
      "expect text {value0} \"10\"\nupdown {selector} 3\nslide {fader0} 200\nclick {run}\nexpect range {selector} 0 2\n"
      "expect pos {selector} 3\n" +
      Expect("disabled", kEditing) +  // the faders keep what they showed
      Expect("enabled", {D::kRunButton, D::kStepSelector, D::kSpeedSlider, D::kFadeSlider}) +
      "slide {speed} 0\nexpect pos {fader0} 200\nwait 150\nupdown {selector} 0\nexpect disabled {speed}\nwait 25\n"
      "expect text {number} \"1\"\nclick {run}\nexpect text {run} \"Run\"\nexpect range {selector} 0 3\n"
      "expect pos {fader0} 245\n" + Expect("enabled", kEditing) +
      "expect enabled {speed}\nclick {delete}\nexpect text {count} \"2\"\nexpect text {value0} \"0\"\n");
}

TEST(ConsoleDlg, SavedChaseOpensWithTheFileNameInTheTitleAndRefusalsChangeNothing) {
  const CTempFolder folder;
  const std::string path = (folder / "show.zkc").string();
  std::ofstream(folder / "short.zkc") << "short";
  const std::string loaded =
      "expect title \"DMX Console V1.1 - show\"\nexpect pos {speed} 9\nexpect pos {fade} 10\nexpect pos {fader1} 0\n";
  const CScriptRun run = RunConsole(
      "sysmenu 32\nslide {fader1} 0\nclick {add}\nslide {speed} 9\nslide {fade} 10\nfile \"" + path +
          "\"\nclick {save}\nexpect no-message\nclose\nfile \"" + path + "\"\nclick {open}\nexpect no-message\n" +
          loaded + "file \"" + (folder / "short.zkc").string() + "\"\nclick {open}\nexpect message warning\n" + loaded +
          "file cancel\nclick {open}\nfile cancel\nclick {save}\nexpect no-message\nfile \"" +
          (folder / "nowhere/x.zkc").string() + "\"\nclick {save}\nexpect message warning\n" + loaded,
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
      move(EMessage::VScroll, D::FaderId(0), pos), move(EMessage::VScroll, D::FaderId(31), pos), click(D::kAddButton);
    for (int i = 0; i < 1500; ++i, std::this_thread::sleep_for(std::chrono::microseconds(600))) {
      if (i % 7 == 0) click(D::kRunButton);  // Run or Stop
      move(EMessage::HScroll, D::kSpeedSlider, i % 2);
      move(EMessage::VScroll, D::kStepSelector, i / 50 % 3);
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
