// The manual addressing dialog and the addressing menu through the script host: layout, phases, controls to engine.
#include "addressing/AddressingMenuDlg.h"
#include "addressing/ManualAddressingDlg.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

namespace {

// The controls of the addressing phase.
const std::initializer_list<int> kWorking = {1006, 1009, 1005, 1008, 1000, 1100, 1271};

// Field `id` refuses `text` at `how` (leaving it, or Save): the warning, the field emptied, the focus back.
std::string Refused(int id, const std::string& text, const std::string& how, const std::string& message) {
  const std::string f = std::to_string(id);
  return "type " + f + " \"" + text + "\"\n" + how + "\nexpect message \"" + message + "\" warning\nexpect text " + f +
         " \"\"\nexpect focus " + f + "\n";
}

}  // namespace

TEST(ManualAddressingDlg, WaitsFiveSecondsThenFieldsBarsAndSaveReachTheEngine) {
  const std::string address = "DMX Address Must Range in 1 to 512", fixture = "Fixture Number Only From 1 to 170";
  std::vector<int> ids;
  for (const auto& control : CManualAddressingDlg::Layout().controls) ids.push_back(control.id);
  EXPECT_EQ(ids, (std::vector<int>{1006, 1005, 1009, 1012, 1100, 1008, 1000, 1271, 1272}));
  const CScriptRun run = RunDialogScript<CManualAddressingDlg>(
      "expect title \"Remote DMX Addressing Manual Setup V2.0\"\nexpect icon 139\nexpect range 1100 0 511\n"
      "expect range 1271 0 169\nwait 25\nexpect pos 1272 0\n" + Expect("hidden", kWorking) +
      "wait 4950\nexpect pos 1272 198\nexpect visible 1272\nexpect visible 1012\nwait 25\nexpect hidden 1272\n"
      "expect hidden 1012\nexpect text 1008 \"1\"\nexpect text 1005 \"\"\n" + Expect("visible", kWorking) +
      "scroll 1271 SB_THUMBTRACK 1\nexpect text 1008 \"2\"\nscroll 1100 SB_THUMBTRACK 299\n"
      "expect text 1005 \"300\"\nclick 1000\nwait 25\nexpect frame 253 512 3=0 4=1 5=44 6=255\n"
      "type 1008 \"3\"\nleave 1008\nexpect text 1005 \"\"\nexpect pos 1271 1\nwait 25\nexpect frame 253 512 6=0 9=255\n"
      "type 1008 \"2\"\nleave 1008\nexpect text 1005 \"300\"\nscroll 1271 SB_LINERIGHT\nexpect text 1005 \"\"\n" +
      Refused(1008, "0", "leave 1008", fixture) + Refused(1008, "171", "leave 1008", fixture) +
      Refused(1005, "0", "leave 1005", address) + Refused(1005, "513", "click 1000", address) +
      "type 1005 \"\"\nclick 1000\nwait 25\nexpect frame 253 512 7=0 8=0 9=255\nexpect no-message\nclose\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(run.boxes.at(0).caption + " " + std::to_string(run.boxes[0].ownerResourceId), ApplicationName() + " 136");
  EXPECT_EQ(Describe(run.calls).back(), "StandBy()");
}

TEST(AddressingMenuDlg, MenuRunsAFreshToolAtEachPress) {
  const CScriptRun run = RunDialogScript<CAddressingMenuDlg>(
      "expect title \"Remote DMX addressing V2.0\"\nexpect icon 139\nexpect focus 1000\nexpect hidden 1002\nwait 1000\n"
      "expect frames 0\nclick 1000\nexpect dialog 135\nclose\nclick 1001\nexpect dialog 136\nwait 5000\nclose\n"
      "expect dialog 133\nclick 1001\nwait 25\nexpect frame 254 512\nclose\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
}
