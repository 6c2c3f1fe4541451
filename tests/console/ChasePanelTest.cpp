// The console's chase panel through the script host: reaching it, the editing buttons, playback on the
// line, the sliders' time labels and chase files with their dialogs, messages and title.
#include "ChaseTestSupport.h"
#include "ConsoleScripts.h"
#include "console/ChaseFile.h"

#include "framework/ScriptHost.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// Three steps composed with the faders and added: channel 1 0, 255, 100; channel 2 255, 0, 0;
// channel 142 0, 0, 40. Speed setting 0 (a step every 5 ticks), fade setting 10 (40 ticks).
const std::string kRecordThree =
    "sysmenu 32\nslide 1007 0\nclick 1101\nslide 1004 0\nslide 1007 255\nclick 1101\nslide 1004 155\n"
    "scroll 1100 SB_THUMBTRACK 111\nslide 1094 215\nscroll 1100 SB_THUMBTRACK 0\nclick 1101\n"
    "expect text 1277 \"3\"\nslide 1105 0\nslide 1104 10\n";
const std::vector<CChaseStep> kThree = {StepWith({{1, 255}}), StepWith({{0, 255}}), StepWith({{0, 100}, {141, 40}})};

std::string Expect(const char* state, std::initializer_list<int> ids) {
  std::string text;
  for (const int id : ids) text += std::string("expect ") + state + " " + std::to_string(id) + "\n";
  return text;
}

// Runs `script` on a console opened twice on `data`, as the launcher does (without stand-by in between).
CScriptRun RunTwice(const std::string& script, CConsoleData& data) {
  return RunScript(script, [&data](CDmxLink& link) {
    link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
    for (int opening = 0; opening < 2; ++opening) {
      CDmxTransmit console(link, data);
      console.DoModal();
    }
  });
}

}  // namespace

TEST(ChasePanel, SystemMenuItemShowsAndHidesThePanelWithItsEnabledStates) {
  const std::string shownAsCreated =
      Expect("visible", {1101, 1107, 1102, 1106, 1002, 1003, 1103, 1108, 1277, 1278, 1266, 1105, 1279, 1104, 1280}) +
      Expect("enabled", {1101, 1106, 1003, 1105, 1104}) + Expect("disabled", {1107, 1102, 1002, 1103, 1108, 1266});
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunTwice(
      "expect hidden 1101\nsysmenu 32\n" + shownAsCreated +
          "click 1101\nexpect focus 1101\nsysmenu 32\n"
          "expect focus 1004\n" +  // not left on a hidden button
          Expect("hidden", {1101, 1102, 1108, 1266, 1277, 1278, 1279, 1280}) + Expect("enabled", {1102, 1108, 1266}) +
          "sysmenu 32\n" + Expect("visible", {1101, 1102, 1108, 1266}) + Expect("enabled", {1102, 1108, 1266}) +
          "expect text 1277 \"1\"\nclose\n"
          // The panel is hidden whenever the console opens.
          "expect hidden 1101\nexpect hidden 1277\nsysmenu 32\n" + shownAsCreated + "expect text 1277 \"0\"\n",
      *data);
  ASSERT_TRUE(run.Passed()) << run.result.message;
}

TEST(ChasePanel, CaptionsComeAndGoWithThePanel) {
  auto script = CScript::Parse("", "script");
  ASSERT_TRUE(script);
  CScriptHost host(std::move(*script));
  CHost::SetCurrent(&host);
  auto data = std::make_unique<CConsoleData>();
  CRecordingLink link;
  {
    CDmxTransmit console(link, *data);
    console.CreateControls();
    console.OnInitDialog();
    const std::set<std::string> captions{"Total Step :", "Step Number :", "Speed", "Fade Time"};
    const auto shown = [&] {
      std::size_t count = 0;
      for (const auto& control : console.Controls())
        count += control->Id() == IDC_STATIC && captions.contains(control->Text()) && control->IsVisible();
      return count;
    };
    EXPECT_EQ(shown(), 0u);
    console.Dispatch({EMessage::SysCommand, CDmxTransmit::kChasePanelCommand, 0, 0});
    EXPECT_EQ(shown(), 4u);
    console.Dispatch({EMessage::SysCommand, CDmxTransmit::kChasePanelCommand, 0, 0});
    EXPECT_EQ(shown(), 0u);
    // The column frame and the console's own controls stay where they are.
    for (const auto& control : console.Controls())
      if (control->Kind() == EControlKind::GroupBox || control->Id() == 1000 || control->Id() == 1100) {
        EXPECT_TRUE(control->IsVisible()) << control->Id();
      }
    console.Dispatch({EMessage::Destroy, 0, 0, 0});
    console.DestroyControls();
  }
  CHost::SetCurrent(nullptr);
}

TEST(ChasePanel, EditingButtonsAndSelectorShowTheirLevelsOnTheFaders) {
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunConsole(
      "sysmenu 32\nslide 1004 245\nclick 1101\n"  // step 1: channel 1 at 10
      "expect text 1278 \"2\"\nexpect text 1277 \"1\"\n" +
          Expect("enabled", {1108, 1102, 1266}) +
          "expect range 1266 0 1\nexpect pos 1266 1\n"
          "slide 1004 235\nclick 1101\n"  // step 2: 20
          "slide 1004 225\n"              // composing step 3: 30, not added
          "updown 1266 1\nexpect text 1278 \"2\"\nexpect text 1101 \"Overwrite\"\nexpect pos 1004 235\n"
          "expect text 1005 \"20\"\n" +
          Expect("enabled", {1107, 1002}) +
          "updown 1266 2\nexpect text 1101 \"Add\"\n"
          "expect text 1005 \"30\"\n" +  // the step being composed came back
          Expect("disabled", {1107, 1002}) +
          "updown 1266 0\nclick 1003\nexpect enabled 1103\nupdown 1266 1\nclick 1103\nexpect text 1005 \"10\"\n"
          "expect pos 1004 245\nclick 1107\nexpect text 1005 \"0\"\nexpect pos 1004 255\nexpect text 1277 \"3\"\n"
          "expect text 1278 \"2\"\nexpect range 1266 0 3\nclick 1002\nexpect text 1277 \"2\"\n"
          "expect text 1005 \"20\"\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(data->Store().Slot(0)[0], 10);
  EXPECT_EQ(data->Store().Slot(1)[0], 20);
  // Editing sends nothing by itself: the tick alone carries channels 1 to 142.
  EXPECT_EQ(CallsFrom(run, 5), (std::vector<std::string>{"StandBy()"}));
}

TEST(ChasePanel, RunPlaysTheChaseOnTheLineTickByTick) {
  std::string script = kRecordThree +
                       "expect text 1279 \"0'0.1\\\"\"\nexpect text 1280 \"0'1.0\\\"\"\nwait 100\nclick 1102\n"
                       "expect text 1102 \"Stop\"\nexpect text 1278 \"1\"\n" +
                       Expect("disabled", {1004, 1097, 1100, 1000, 1001, 1002, 1003, 1101, 1103, 1107, 1106, 1108}) +
                       Expect("enabled", {1102, 1266, 1105, 1104}) + "expect range 1266 0 2\n";
  // Hold 4 + 1 ticks a step; the first advance comes on the 6th tick of the run.
  for (const char number : std::string("1111122222333331"))
    script += std::string("wait 25\nexpect text 1278 \"") + number + "\"\n";
  const CScriptRun run = RunConsole(script + "wait 2100\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;

  // From the 5th frame on, each frame is the tick of the same chase run in the engine alone: step 1 at once,
  // then a fade toward step 2 from the 6th tick, 6 a tick.
  ASSERT_EQ(run.frames.size(), 4u + 16u + 84u);
  EXPECT_EQ(run.frames[9].slots[0], 6);
  auto reference = std::make_unique<CConsoleData>();
  RecordChase(*reference, kThree);
  reference->Player().SetFade(10);
  reference->RunOrStop();
  for (std::size_t i = 4; i < run.frames.size(); ++i) {
    reference->Tick();
    Bytes expected(512, 0);
    std::copy(reference->LivePage().begin(), reference->LivePage().end(), expected.begin());
    ASSERT_EQ(run.frames[i].startCode, 0) << i;
    ASSERT_EQ(run.frames[i].timeUs, static_cast<std::int64_t>(i + 1) * 25000) << i;
    ASSERT_EQ(run.frames[i].slots, expected) << "frame " << i;
  }
}

TEST(ChasePanel, JumpFollowsTheSelectorAndStopReturnsToTheEditor) {
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunConsole(
      kRecordThree +
          "click 1102\nwait 50\nupdown 1266 1\nexpect disabled 1105\nwait 25\nexpect text 1278 \"2\"\n"
          "expect frame 0 512 1=6 2=249\nwait 2000\nexpect text 1278 \"2\"\nexpect frame 0 512 1=255 2=0 142=0\n"
          "updown 1266 0\nwait 25\nexpect frame 0 512 1=249 2=6\n"
          // Stopped during the fade: the step's own levels at the next tick.
          "click 1102\nexpect text 1102 \"Run\"\nexpect text 1101 \"Overwrite\"\nexpect text 1278 \"1\"\n" +
          Expect("enabled", {1105, 1004, 1097, 1100, 1000, 1001, 1002, 1003, 1101, 1107, 1106, 1108}) +
          "expect disabled 1103\n"  // nothing was ever copied
          "expect range 1266 0 3\nexpect pos 1004 255\nexpect pos 1007 0\nexpect text 1008 \"255\"\nwait 25\n"
          "expect frame 0 512 1=0 2=255 142=0\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_FALSE(data->Player().IsRunning());
}

TEST(ChasePanel, SlidersShowTheirTimesAndKeepTheSettingsForTheNextConsole) {
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunTwice(
      "sysmenu 32\nslide 1105 654\nexpect text 1279 \"1'5.5\\\"\"\nslide 1105 5999 TB_ENDTRACK\n"
      "expect text 1279 \"10'0.0\\\"\"\nslide 1104 655 TB_LINEDOWN\nexpect text 1280 \"1'5.5\\\"\"\n"
      "slide 1104 6000\nexpect text 1280 \"10'0.0\\\"\"\nslide 1104 9 TB_THUMBPOSITION\n"
      "expect text 1280 \"0'0.9\\\"\"\nslide 1105 9\nexpect text 1279 \"0'1.0\\\"\"\nclose\nsysmenu 32\n"
      "expect pos 1105 0\nexpect pos 1104 0\nexpect text 1279 \"0'0.1\\\"\"\nexpect text 1280 \"0'0.0\\\"\"\n",
      *data);
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(data->MakeChaseFile(), CChaseFile(9, 9, {}));
}

TEST(ChasePanel, SavedChaseOpensInANewConsoleWithTheFileNameInTheTitle) {
  const CScratchFolder folder;
  const std::string path = (folder / "show.zkc").string();
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunTwice(
      kRecordThree + "slide 1105 9\nfile \"" + path +
          "\"\nclick 1108\nexpect no-message\nexpect title \"DMX Console V1.1 - show\"\nclose\n"
          "expect title \"DMX Console V2.0\"\nsysmenu 32\nexpect text 1277 \"0\"\nfile \"" + path +
          "\"\nclick 1106\nexpect no-message\nexpect title \"DMX Console V1.1 - show\"\nexpect text 1277 \"3\"\n"
          "expect text 1278 \"1\"\nexpect text 1101 \"Overwrite\"\n" +
          Expect("enabled", {1108, 1002, 1107, 1102, 1266}) +
          "expect range 1266 0 3\nexpect pos 1105 9\nexpect text 1279 \"0'1.0\\\"\"\nexpect pos 1104 10\n"
          "expect text 1280 \"0'1.0\\\"\"\n"
          "expect pos 1007 0\nexpect text 1008 \"255\"\n"  // step 1 on the faders: channel 2 at 255
          "wait 25\nexpect frame 0 512 1=0 2=255\n",
      *data);
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CChaseFile::Load(path), CChaseFile(9, 10, kThree));
  EXPECT_EQ(data->Store().StepCount(), 3);

  ASSERT_EQ(run.fileDialogs.size(), 2u);
  EXPECT_EQ(run.fileDialogs[0].kind, EFileDialogKind::Save);
  EXPECT_EQ(run.fileDialogs[1].kind, EFileDialogKind::Open);
  for (const CFileDialog& dialog : run.fileDialogs) {
    EXPECT_EQ(dialog.defaultExtension, "zkc");
    EXPECT_EQ(dialog.initialName, "*.zkc");
    EXPECT_EQ(dialog.filter, "Zelkar Lighting Chase Files (*.zkc)|*.zkc|All Files (*.*)|*.*||");
    EXPECT_TRUE(dialog.hideReadOnly && dialog.fileMustExist);
  }
}

TEST(ChasePanel, RefusedFilesAndCancelledDialogsChangeNothing) {
  const CScratchFolder folder;
  // Says 3 steps, holds 2 and a half.
  Bytes bytes(36 + 142 * 2 + 70, 7);
  bytes[31] = 3;
  WriteBytes(folder / "short.zkc", bytes);
  auto data = std::make_unique<CConsoleData>();
  const std::string state =
      "expect title \"DMX Console V2.0\"\nexpect text 1277 \"3\"\nexpect text 1278 \"4\"\nexpect text 1101 \"Add\"\n"
      "expect pos 1104 10\nexpect text 1280 \"0'1.0\\\"\"\nexpect text 1005 \"100\"\nexpect disabled 1002\n";
  const CScriptRun run = RunConsole(
      kRecordThree + state + "file \"" + (folder / "short.zkc").string() + "\"\nclick 1106\nexpect message\n" +
          state + "file \"" + (folder / "missing.zkc").string() + "\"\nclick 1106\nexpect message\n" + state +
          "file cancel\nclick 1106\nfile cancel\nclick 1108\nexpect no-message\n" + state +
          "wait 25\nexpect frame 0 512 1=100 2=0 142=40\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;

  ASSERT_EQ(run.boxes.size(), 2u);
  for (const CMessageBox& box : run.boxes) {
    EXPECT_EQ(box.icon, EMessageIcon::Warning);
    EXPECT_EQ(box.caption, ApplicationName());
    EXPECT_EQ(box.ownerResourceId, 129);
  }
  EXPECT_NE(run.boxes[0].text.find("short.zkc"), std::string::npos) << run.boxes[0].text;
  EXPECT_NE(run.boxes[0].text.find("3 steps"), std::string::npos) << run.boxes[0].text;
  EXPECT_NE(run.boxes[1].text.find("missing.zkc"), std::string::npos) << run.boxes[1].text;
  EXPECT_FALSE(fs::exists(folder / "missing.zkc"));  // opening never creates a file
  EXPECT_EQ(run.fileDialogs.size(), 4u);
  EXPECT_EQ(data->MakeChaseFile(), CChaseFile(0, 10, kThree));
  EXPECT_EQ(folder.Entries(), 1u);
}

TEST(ChasePanel, FailedSaveSaysSoAndKeepsTheTitle) {
  const CScratchFolder folder;
  const CScriptRun run = RunConsole("sysmenu 32\nclick 1101\nfile \"" + (folder / "nowhere/show.zkc").string() +
                                    "\"\nclick 1108\nexpect message\nexpect title \"DMX Console V2.0\"\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].icon, EMessageIcon::Warning);
  EXPECT_NE(run.boxes[0].text.find("show.zkc"), std::string::npos) << run.boxes[0].text;
  EXPECT_FALSE(fs::exists(folder / "nowhere"));
}
