// The console dialog through the script host: each control reaches the engine, its state reaches the controls.
#include <fstream>

#include "ConsoleTestSupport.h"
#include "console/DmxTransmit.h"
#include "support/ScriptRun.h"

namespace {

// Runs the console `openings` times on data of its own, as the launcher's button does.
CScriptRun RunConsole(const std::string& script, int openings = 1) {
  const auto data = std::make_unique<CConsoleData>();
  return RunScript(script, [&](CDmxLink& link) {
    for (int opening = 0; opening < openings; ++opening, link.DmxLinkStandBy()) {
      link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
      CDmxTransmit(link, *data).DoModal();
    }
  });
}

// "expect WHAT ID" for each id.
std::string Expect(const std::string& what, std::initializer_list<int> ids) {
  std::string text;
  for (const int id : ids) text += "expect " + what + " " + std::to_string(id) + "\n";
  return text;
}

const std::initializer_list<int> kEditing = {1004, 1097, 1100, 1000, 1001, 1002, 1003, 1101, 1103, 1107, 1106, 1108};

}  // namespace

TEST(DmxTransmit, FadersChannelBarCleanAndStandAloneReachTheEngineEveryTick) {
  const CScriptRun run = RunConsole(
      "expect dialog 129\nexpect title \"DMX Console V2.0\"\nexpect icon 139\nexpect focus 1004\nexpect range 1004 0 255\n"
      "expect pos 1097 255\nexpect range 1100 0 480\nwait 24\n"
      "expect frames 0\nwait 1\nexpect frames 1\nwait 975\nexpect frames 40\nslide 1004 0\nscroll 1100 SB_THUMBTRACK 111\n"
      "slide 1097 5\nslide 1094 55 TB_TOP\nslide 1094 0 9\nexpect text 1006 \"112\"\nexpect text 1098 \"250\"\n"
      "expect text 1095 \"200\"\nwait 25\nexpect frame 0 512 1=255 142=200 143=250\nscroll 1100 SB_THUMBTRACK 475\n"
      "scroll 1100 SB_PAGERIGHT\nexpect pos 1100 480\nexpect text 1099 \"512\"\nscroll 1100 SB_THUMBTRACK 0\n"
      "expect pos 1004 0\nexpect text 1005 \"255\"\nexpect text 1006 \"1\"\n"
      // Clean zeroes the columns and keeps the bank; Stand Alone names what the next press selects.
      "scroll 1100 SB_THUMBTRACK 112\nclick 1001\nexpect pos 1091 255\nexpect text 1092 \"0\"\nexpect pos 1097 255\n"
      "expect text 1099 \"144\"\nclick 1000\nexpect text 1000 \"DMX Out\"\nclick 1000\nexpect text 1000 \"Stand Alone\"\n");
  EXPECT_TRUE(run.Passed()) << run.result.message;
}

TEST(DmxTransmit, SystemMenuItemTogglesTheChasePanelWhichEveryConsoleOpensHidden) {
  const std::string asCreated =
      Expect("visible", {1101, 1107, 1102, 1106, 1002, 1003, 1103, 1108, 1277, 1278, 1266, 1105, 1279, 1104, 1280}) +
      Expect("enabled", {1101, 1106, 1003, 1105, 1104}) + Expect("disabled", {1107, 1102, 1002, 1103, 1108, 1266}) +
      "expect text 1101 \"Add\"\nexpect text 1102 \"Run\"\nexpect text 1277 \"0\"\nexpect text 1278 \"1\"\n"
      "expect pos 1105 0\nexpect pos 1104 0\nexpect text 1279 \"0'0.1\\\"\"\nexpect text 1280 \"0'0.0\\\"\"\n";
  const CScriptRun run = RunConsole(
      "expect menu 32 \"Chase Panel\"\nexpect hidden 1101\nsysmenu 32\n" + asCreated +
          "slide 1105 654\nslide 1104 6000 TB_ENDTRACK\nexpect text 1279 \"1'5.5\\\"\"\nexpect text 1280 \"10'0.0\\\"\"\n"
          "slide 1104 9 TB_THUMBPOSITION\nexpect text 1280 \"0'0.9\\\"\"\nclick 1101\nexpect focus 1101\nsysmenu 32\n"
          "expect focus 1004\n" + Expect("hidden", {1101, 1102, 1266, 1277, 1278, 1279, 1280, 1105, 1104}) +
          "sysmenu 32\nexpect visible 1101\nclose\nexpect hidden 1101\nsysmenu 32\n" + asCreated,
      2);
  EXPECT_TRUE(run.Passed()) << run.result.message;
}

TEST(DmxTransmit, ChasePanelControlsReachTheEngineAndShowItsState) {
  const CScriptRun run = RunConsole(
      "sysmenu 32\nslide 1004 245\nclick 1101\nexpect text 1277 \"1\"\nexpect text 1278 \"2\"\n" +
      Expect("enabled", {1108, 1102, 1266}) + "expect range 1266 0 1\nexpect pos 1266 1\nupdown 1266 0\n"
      "expect text 1101 \"Overwrite\"\nexpect text 1278 \"1\"\nexpect text 1005 \"10\"\n" + Expect("enabled", {1107, 1002}) +
      "click 1003\nexpect enabled 1103\nclick 1107\nexpect pos 1004 255\nexpect text 1277 \"2\"\nclick 1103\n"
      "expect text 1005 \"10\"\nclick 1102\nexpect range 1266 0 1\nexpect text 1102 \"Stop\"\n" + Expect("disabled", kEditing) +
      Expect("enabled", {1102, 1266, 1105, 1104}) +
      // A hold of 4 + 1 ticks a step: the tick moves the run on at its 6th.
      "slide 1105 0\nexpect text 1279 \"0'0.1\\\"\"\nwait 125\nexpect text 1278 \"1\"\nwait 25\nexpect text 1278 \"2\"\n"
      "updown 1266 0\nexpect disabled 1105\nwait 25\nexpect text 1278 \"1\"\nclick 1102\nexpect range 1266 0 2\n"
      "expect text 1102 \"Run\"\nexpect text 1101 \"Overwrite\"\nexpect pos 1004 255\n" + Expect("enabled", kEditing) +
      "expect enabled 1105\nclick 1002\nexpect text 1277 \"1\"\nexpect text 1005 \"10\"\n");
  EXPECT_TRUE(run.Passed()) << run.result.message;
}

TEST(DmxTransmit, SavedChaseOpensWithTheFileNameInTheTitleAndRefusalsChangeNothing) {
  const CScratchFolder folder;
  const std::string path = (folder / "show.zkc").string();
  std::ofstream(folder / "short.zkc") << "short";
  const std::string loaded =
      "expect title \"DMX Console V1.1 - show\"\nexpect pos 1105 9\nexpect pos 1104 10\nexpect pos 1007 0\n";
  const CScriptRun run = RunConsole(
      "sysmenu 32\nslide 1007 0\nclick 1101\nslide 1105 9\nslide 1104 10\nfile \"" + path +
          "\"\nclick 1108\nexpect no-message\nexpect title \"DMX Console V1.1 - show\"\nclose\n"
          "expect title \"DMX Console V2.0\"\nsysmenu 32\nfile \"" + path + "\"\nclick 1106\nexpect no-message\n" +
          loaded + "file \"" + (folder / "short.zkc").string() + "\"\nclick 1106\nexpect message warning\n" + loaded +
          "file cancel\nclick 1106\nfile cancel\nclick 1108\nexpect no-message\nfile \"" +
          (folder / "nowhere/x.zkc").string() + "\"\nclick 1108\nexpect message warning\n" + loaded,
      2);
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CChaseFile::Load(path), CChaseFile(9, 10, {StepWith({{1, 255}})}));
  EXPECT_NE(run.boxes.at(0).text.find("short.zkc"), std::string::npos) << run.boxes[0].text;
  ASSERT_EQ(run.fileDialogs.size(), 6u);
  EXPECT_TRUE(run.fileDialogs[0].kind == EFileDialogKind::Save && run.fileDialogs[1].kind == EFileDialogKind::Open);
  for (const CFileDialog& d : run.fileDialogs)
    EXPECT_EQ(d.defaultExtension + d.initialName + d.filter + (d.hideReadOnly && d.fileMustExist ? "" : "!"),
              "zkc*.zkcZelkar Lighting Chase Files (*.zkc)|*.zkc|All Files (*.*)|*.*||");
}
