// The console's chase panel through the script host: reaching it, the editing buttons, playback on the
// line, the sliders' time labels and chase files with their dialogs, messages and title.
#include "ConsoleScripts.h"

#include "framework/ScriptHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Three steps composed with the faders and added: channel 1 0, 255, 100; channel 2 255, 0, 0;
// channel 142 0, 0, 40. Speed setting 0 (a step every 5 ticks), fade setting 10 (40 ticks).
const std::string kRecordThree =
    "sysmenu 32\n"
    "slide 1007 0\n"
    "click 1101\n"
    "slide 1004 0\n"
    "slide 1007 255\n"
    "click 1101\n"
    "slide 1004 155\n"
    "scroll 1100 SB_THUMBTRACK 111\n"
    "slide 1094 215\n"
    "scroll 1100 SB_THUMBTRACK 0\n"
    "click 1101\n"
    "expect text 1277 \"3\"\n"
    "slide 1105 0\n"
    "slide 1104 10\n";

// The same chase recorded straight into the engine, run, for the levels it must put on the line.
std::unique_ptr<CConsoleData> ReferenceRun() {
  auto data = std::make_unique<CConsoleData>();
  data->StartConsole();
  data->SetLevel(1, 255);
  data->Store().AddOrOverwrite();
  data->SetLevel(0, 255);
  data->SetLevel(1, 0);
  data->Store().AddOrOverwrite();
  data->SetLevel(0, 100);
  data->SetLevel(141, 40);
  data->Store().AddOrOverwrite();
  data->Player().SetSpeed(0);
  data->Player().SetFade(10);
  data->RunOrStop();
  return data;
}

std::vector<std::uint8_t> PageZero(const CDmxFrame& frame) { return {frame.slots.begin(), frame.slots.begin() + 142}; }

std::vector<std::uint8_t> LivePage(const CConsoleData& data) {
  return {data.LivePage().begin(), data.LivePage().end()};
}

std::string Expect(const char* state, std::initializer_list<int> ids) {
  std::string text;
  for (const int id : ids) text += std::string("expect ") + state + " " + std::to_string(id) + "\n";
  return text;
}

// A folder of its own for a test's chase files, removed afterwards.
class CTempFolder final {
 public:
  CTempFolder()
      : m_path(fs::temp_directory_path() /
               ("vexmira-chase-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(m_path);
    fs::create_directories(m_path);
  }
  ~CTempFolder() { fs::remove_all(m_path); }
  CTempFolder(const CTempFolder&) = delete;
  CTempFolder& operator=(const CTempFolder&) = delete;

  std::string operator/(const std::string& name) const { return (m_path / name).string(); }

 private:
  fs::path m_path;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST(ChasePanel, SystemMenuItemShowsAndHidesThePanelWithItsEnabledStates) {
  const std::string shownAsCreated =
      Expect("visible", {1101, 1107, 1102, 1106, 1002, 1003, 1103, 1108, 1277, 1278, 1266, 1105, 1279, 1104, 1280}) +
      Expect("enabled", {1101, 1106, 1003, 1105, 1104}) + Expect("disabled", {1107, 1102, 1002, 1103, 1108, 1266});
  const CScriptRun run = RunScript(
      "expect hidden 1101\n"
      "sysmenu 32\n" +
          shownAsCreated +
          "click 1101\n"
          "expect focus 1101\n"
          "sysmenu 32\n"
          "expect focus 1004\n" +  // not left on a hidden button
          Expect("hidden", {1101, 1102, 1108, 1266, 1277, 1278, 1279, 1280}) +
          Expect("enabled", {1102, 1108, 1266}) +
          "sysmenu 32\n" + Expect("visible", {1101, 1102, 1108, 1266}) + Expect("enabled", {1102, 1108, 1266}) +
          "expect text 1277 \"1\"\n"
          "close\n"
          // The panel is hidden whenever the console opens.
          "expect hidden 1101\n"
          "expect hidden 1277\n"
          "sysmenu 32\n" +
          shownAsCreated + "expect text 1277 \"0\"\n",
      [] {
        auto data = std::make_unique<CConsoleData>();
        for (int opening = 0; opening < 2; ++opening) {
          CDmxTransmit console(*data);
          console.DoModal();
        }
      });
  ASSERT_TRUE(run.Passed()) << run.result.message;
}

TEST(ChasePanel, CaptionsComeAndGoWithThePanel) {
  auto script = CScript::Parse("", "script");
  ASSERT_TRUE(script);
  CScriptHost host(std::move(*script));
  CHost::SetCurrent(&host);
  auto data = std::make_unique<CConsoleData>();
  {
    CDmxTransmit console(*data);
    console.CreateControls();
    console.OnInitDialog();
    const std::set<std::string> captions{"Total Step :", "Step Number :", "Speed", "Fade Time"};
    const auto shownCaptions = [&] {
      std::size_t shown = 0;
      for (const auto& control : console.Controls())
        if (control->Id() == IDC_STATIC && captions.contains(control->Text()) && control->IsVisible()) ++shown;
      return shown;
    };
    EXPECT_EQ(shownCaptions(), 0u);
    EXPECT_FALSE(console.IsChasePanelShown());
    console.Dispatch({EMessage::SysCommand, CDmxTransmit::kChasePanelCommand, 0, 0});
    EXPECT_EQ(shownCaptions(), 4u);
    EXPECT_TRUE(console.IsChasePanelShown());
    console.Dispatch({EMessage::SysCommand, CDmxTransmit::kChasePanelCommand, 0, 0});
    EXPECT_EQ(shownCaptions(), 0u);
    // The column frame and the console's own controls stay where they are.
    for (const auto& control : console.Controls()) {
      if (control->Kind() == EControlKind::GroupBox || control->Id() == 1000 || control->Id() == 1100) {
        EXPECT_TRUE(control->IsVisible()) << control->Id();
      }
    }
    console.Dispatch({EMessage::Destroy, 0, 0, 0});
    console.DestroyControls();
  }
  CHost::SetCurrent(nullptr);
}

TEST(ChasePanel, FirstAddOnAFreshConsoleRecordsTheZeroStepAndOffersRunSaveAndSelector) {
  auto data = std::make_unique<CConsoleData>();
  // An earlier console left levels in slot 0; the new chase is still composed from zeros.
  data->SetLevel(0, 9);
  data->Store().AddOrOverwrite();
  const CScriptRun run = RunConsole(
      "sysmenu 32\n"
      "click 1101\n"
      "expect text 1278 \"2\"\n"
      "expect text 1277 \"1\"\n"
      "expect text 1101 \"Add\"\n" +
          Expect("enabled", {1108, 1102, 1266, 1101}) + Expect("disabled", {1002, 1107}) +
          "expect range 1266 0 1\n"
          "expect pos 1266 1\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(data->Store().StepCount(), 1);
  EXPECT_EQ(data->Store().Slot(0), CChaseStep{});
}

TEST(ChasePanel, SelectorCopyPasteAndInsertShowTheirLevelsOnTheFaders) {
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunConsole(
      "sysmenu 32\n"
      "slide 1004 245\n"  // step 1: channel 1 at 10
      "click 1101\n"
      "slide 1004 235\n"  // step 2: 20
      "click 1101\n"
      "slide 1004 225\n"  // composing step 3: 30, not added
      "updown 1266 1\n"
      "expect text 1278 \"2\"\n"
      "expect text 1101 \"Overwrite\"\n"
      "expect pos 1004 235\n"
      "expect text 1005 \"20\"\n"
      "expect enabled 1107\n"
      "expect enabled 1002\n"
      "updown 1266 2\n"
      "expect text 1101 \"Add\"\n"
      "expect text 1005 \"30\"\n"  // the step being composed came back
      "expect disabled 1107\n"
      "expect disabled 1002\n"
      "updown 1266 0\n"
      "click 1003\n"
      "expect enabled 1103\n"
      "updown 1266 1\n"
      "click 1103\n"
      "expect text 1005 \"10\"\n"
      "expect pos 1004 245\n"
      "click 1107\n"
      "expect text 1005 \"0\"\n"
      "expect pos 1004 255\n"
      "expect text 1277 \"3\"\n"
      "expect text 1278 \"2\"\n"
      "expect range 1266 0 3\n"
      "click 1002\n"
      "expect text 1277 \"2\"\n"
      "expect text 1005 \"20\"\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(data->Store().Slot(0)[0], 10);
  EXPECT_EQ(data->Store().Slot(1)[0], 20);
  // Editing sends nothing by itself: the tick alone carries channels 1 to 142.
  EXPECT_EQ(CallsFrom(run, 5), (std::vector<std::string>{"StandBy()"}));
}

TEST(ChasePanel, RunPlaysTheChaseOnTheLineTickByTick) {
  auto data = std::make_unique<CConsoleData>();
  std::string script = kRecordThree +
                       "expect text 1279 \"0'0.1\\\"\"\n"
                       "expect text 1280 \"0'1.0\\\"\"\n"
                       "wait 100\n"
                       "click 1102\n"
                       "expect text 1102 \"Stop\"\n"
                       "expect text 1278 \"1\"\n" +
                       Expect("disabled", {1004, 1097, 1100, 1000, 1001, 1002, 1003, 1101, 1103, 1107, 1106, 1108}) +
                       Expect("enabled", {1102, 1266, 1105, 1104}) + "expect range 1266 0 2\n";
  // Hold 4 + 1 ticks a step; the first advance comes on the 6th tick of the run.
  const char* const numbers[] = {"1", "1", "1", "1", "1", "2", "2", "2", "2", "2", "3", "3", "3", "3", "3", "1"};
  for (const char* number : numbers) script += std::string("wait 25\nexpect text 1278 \"") + number + "\"\n";
  script += "wait 2100\n";
  const CScriptRun run = RunConsole(script, data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;

  ASSERT_EQ(run.frames.size(), 4u + 16u + 84u);
  // Run starts on step 1 at once, then fades toward step 2 from the 6th tick: 6 a tick, and one
  // more on 15 ticks of the 40.
  EXPECT_EQ(run.frames[4].slots[0], 0);
  EXPECT_EQ(run.frames[4].slots[1], 255);
  EXPECT_EQ(run.frames[8].slots[0], 0);
  EXPECT_EQ(run.frames[9].slots[0], 6);
  EXPECT_EQ(run.frames[9].slots[1], 249);

  const auto reference = ReferenceRun();
  for (std::size_t i = 4; i < run.frames.size(); ++i) {
    reference->Tick();
    const CDmxFrame& frame = run.frames[i];
    ASSERT_EQ(frame.startCode, 0) << i;
    ASSERT_EQ(frame.slots.size(), 512u) << i;
    ASSERT_EQ(frame.timeUs, static_cast<std::int64_t>(i + 1) * 25000) << i;
    ASSERT_EQ(PageZero(frame), LivePage(*reference)) << "frame " << i;
    ASSERT_TRUE(std::all_of(frame.slots.begin() + 142, frame.slots.end(), [](std::uint8_t v) { return v == 0; }));
  }
}

TEST(ChasePanel, JumpFollowsTheSelectorAndStopReturnsToTheEditor) {
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunConsole(
      kRecordThree +
          "click 1102\n"
          "wait 50\n"
          "updown 1266 1\n"
          "expect disabled 1105\n"
          "wait 25\n"
          "expect text 1278 \"2\"\n"
          "expect frame 0 512 1=6 2=249\n"
          "wait 975\n"
          "expect frame 0 512 1=255 2=0 142=0\n"
          // Following the selector, the run no longer advances by itself.
          "wait 1000\n"
          "expect text 1278 \"2\"\n"
          "expect frame 0 512 1=255 2=0\n"
          "updown 1266 0\n"
          "wait 25\n"
          "expect text 1278 \"1\"\n"
          "expect frame 0 512 1=249 2=6\n"
          // Stopped during the fade: the step's own levels at the next tick.
          "click 1102\n"
          "expect text 1102 \"Run\"\n"
          "expect text 1101 \"Overwrite\"\n"
          "expect text 1278 \"1\"\n" +
          Expect("enabled", {1105, 1004, 1097, 1100, 1000, 1001, 1002, 1003, 1101, 1107, 1106, 1108}) +
          "expect disabled 1103\n"  // nothing was ever copied
          "expect range 1266 0 3\n"
          "expect pos 1004 255\n"
          "expect pos 1007 0\n"
          "expect text 1008 \"255\"\n"
          "wait 25\n"
          "expect frame 0 512 1=0 2=255 142=0\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_FALSE(data->Player().IsRunning());
  EXPECT_EQ(data->Store().CurrentStep(), 0);
}

TEST(ChasePanel, SlidersShowTheirTimesAndKeepTheSettingsForTheNextConsole) {
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunScript(
      "sysmenu 32\n"
      "slide 1105 654\n"
      "expect text 1279 \"1'5.5\\\"\"\n"
      "slide 1105 5999 TB_ENDTRACK\n"
      "expect text 1279 \"10'0.0\\\"\"\n"
      "slide 1104 655 TB_LINEDOWN\n"
      "expect text 1280 \"1'5.5\\\"\"\n"
      "slide 1104 6000\n"
      "expect text 1280 \"10'0.0\\\"\"\n"
      "slide 1104 9 TB_THUMBPOSITION\n"
      "expect text 1280 \"0'0.9\\\"\"\n"
      "slide 1105 9\n"
      "expect text 1279 \"0'1.0\\\"\"\n"
      "close\n"
      "sysmenu 32\n"
      "expect pos 1105 0\n"
      "expect pos 1104 0\n"
      "expect text 1279 \"0'0.1\\\"\"\n"
      "expect text 1280 \"0'0.0\\\"\"\n",
      [&data] {
        for (int opening = 0; opening < 2; ++opening) {
          CDmxTransmit console(*data);
          console.DoModal();
        }
      });
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(data->Player().SpeedSetting(), 9);
  EXPECT_EQ(data->Player().FadeSetting(), 9);
}

TEST(ChasePanel, DeleteFromAFullChaseOffersAddAgain) {
  auto data = std::make_unique<CConsoleData>();
  std::string script = "sysmenu 32\n";
  for (int step = 0; step < 255; ++step) script += "click 1101\n";
  script +=
      "expect text 1277 \"255\"\n"
      "expect disabled 1101\n"
      "updown 1266 10\n"
      "click 1002\n"
      "expect text 1277 \"254\"\n"
      "expect enabled 1101\n"
      "slide 1004 0\n"
      "click 1101\n"  // Overwrite step 11
      "updown 1266 254\n"
      "expect text 1101 \"Add\"\n"
      "click 1101\n"
      "expect text 1277 \"255\"\n"
      "expect disabled 1101\n";
  const CScriptRun run = RunConsole(script, data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(data->Store().StepCount(), 255);
  EXPECT_EQ(data->Store().Slot(10)[0], 255);
}

TEST(ChasePanel, SavedChaseOpensInANewConsoleWithTheFileNameInTheTitle) {
  const CTempFolder folder;
  const std::string path = folder / "show.zkc";
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunScript(
      kRecordThree +
          "slide 1105 9\n"
          "file \"" + path + "\"\n"
          "click 1108\n"
          "expect no-message\n"
          "expect title \"DMX Console V1.1 - show\"\n"
          "close\n"
          "expect title \"DMX Console V2.0\"\n"
          "sysmenu 32\n"
          "expect text 1277 \"0\"\n"
          "file \"" + path + "\"\n"
          "click 1106\n"
          "expect no-message\n"
          "expect title \"DMX Console V1.1 - show\"\n"
          "expect text 1277 \"3\"\n"
          "expect text 1278 \"1\"\n"
          "expect text 1101 \"Overwrite\"\n" +
          Expect("enabled", {1108, 1002, 1107, 1102, 1266}) +
          "expect range 1266 0 3\n"
          "expect pos 1105 9\n"
          "expect text 1279 \"0'1.0\\\"\"\n"
          "expect pos 1104 10\n"
          "expect text 1280 \"0'1.0\\\"\"\n"
          "expect pos 1007 0\n"  // step 1 on the faders: channel 2 at 255
          "expect text 1008 \"255\"\n"
          "wait 25\n"
          "expect frame 0 512 1=0 2=255\n",
      [&data] {
        DmxLinkSetMode(0xA5, 0, 0, 512);
        for (int opening = 0; opening < 2; ++opening) {
          CDmxTransmit console(*data);
          console.DoModal();
        }
      });
  ASSERT_TRUE(run.Passed()) << run.result.message;

  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  ASSERT_EQ(bytes.size(), 36u + 142u * 3u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 31), std::string("Zelkar Lighting Chase File 1.0") + '\0');
  EXPECT_EQ(bytes[31], 3);
  EXPECT_EQ(bytes[32], 9);
  EXPECT_EQ(bytes[34], 10);
  EXPECT_EQ(bytes[36 + 142 * 2], 100);
  EXPECT_EQ(bytes[36 + 142 * 2 + 141], 40);
  EXPECT_EQ(data->Store().StepCount(), 3);

  ASSERT_EQ(run.fileDialogs.size(), 2u);
  EXPECT_EQ(run.fileDialogs[0].kind, EFileDialogKind::Save);
  EXPECT_EQ(run.fileDialogs[1].kind, EFileDialogKind::Open);
  for (const CFileDialog& dialog : run.fileDialogs) {
    EXPECT_EQ(dialog.defaultExtension, "zkc");
    EXPECT_EQ(dialog.initialName, "*.zkc");
    EXPECT_EQ(dialog.filter, "Zelkar Lighting Chase Files (*.zkc)|*.zkc|All Files (*.*)|*.*||");
    EXPECT_TRUE(dialog.hideReadOnly);
    EXPECT_TRUE(dialog.fileMustExist);
  }
}

TEST(ChasePanel, ShortFileIsRefusedWithAMessageAndNothingChanges) {
  const CTempFolder folder;
  const std::string shortFile = folder / "short.zkc";
  // Says 3 steps, holds 2 and a half.
  std::vector<std::uint8_t> bytes(36 + 142 * 2 + 70, 7);
  bytes[31] = 3;
  WriteBytes(shortFile, bytes);
  const std::string missing = folder / "missing.zkc";

  auto data = std::make_unique<CConsoleData>();
  const std::string state =
      "expect title \"DMX Console V2.0\"\n"
      "expect text 1277 \"3\"\n"
      "expect text 1278 \"4\"\n"
      "expect text 1101 \"Add\"\n"
      "expect pos 1104 10\n"
      "expect text 1280 \"0'1.0\\\"\"\n"
      "expect text 1005 \"100\"\n"
      "expect disabled 1002\n";
  const CScriptRun run = RunConsole(kRecordThree + state +
                                        "file \"" + shortFile + "\"\n"
                                        "click 1106\n"
                                        "expect message\n" +
                                        state +
                                        "file \"" + missing + "\"\n"
                                        "click 1106\n"
                                        "expect message\n" +
                                        state + "wait 25\nexpect frame 0 512 1=100 2=0 142=40\n",
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
  EXPECT_FALSE(fs::exists(missing));  // opening never creates a file

  const auto reference = ReferenceRun();
  EXPECT_EQ(data->Store().StepCount(), 3);
  for (std::size_t s = 0; s < 3; ++s) EXPECT_EQ(data->Store().Slot(s), reference->Store().Slot(s)) << s;
  EXPECT_EQ(data->Player().SpeedSetting(), 0);
  EXPECT_EQ(data->Player().FadeSetting(), 10);
}

TEST(ChasePanel, FailedSaveSaysSoAndKeepsTheTitle) {
  const CTempFolder folder;
  const std::string inMissingFolder = folder / "nowhere/show.zkc";
  const CScriptRun run = RunConsole(
      "sysmenu 32\n"
      "click 1101\n"
      "file \"" + inMissingFolder + "\"\n"
      "click 1108\n"
      "expect message\n"
      "expect title \"DMX Console V2.0\"\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].icon, EMessageIcon::Warning);
  EXPECT_NE(run.boxes[0].text.find("show.zkc"), std::string::npos) << run.boxes[0].text;
  EXPECT_FALSE(fs::exists(folder / "nowhere"));
}

TEST(ChasePanel, CancelledFileDialogsDoNothing) {
  auto data = std::make_unique<CConsoleData>();
  const CScriptRun run = RunConsole(
      "sysmenu 32\n"
      "slide 1004 100\n"
      "click 1101\n"
      "file cancel\n"
      "click 1108\n"
      "file cancel\n"
      "click 1106\n"
      "expect no-message\n"
      "expect title \"DMX Console V2.0\"\n"
      "expect text 1277 \"1\"\n"
      "expect text 1278 \"2\"\n"
      "expect text 1005 \"155\"\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(run.fileDialogs.size(), 2u);
  EXPECT_EQ(data->Store().StepCount(), 1);
}
