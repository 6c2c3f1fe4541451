// The manual addressing dialog and the addressing menu through the script host: layout, phases, controls to engine.
#include "addressing/AddressingMenuDlg.h"
#include "addressing/ManualAddressingDlg.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

namespace {

using D = CManualAddressingDlg;
using M = CAddressingMenuDlg;

// The controls of the addressing phase.
const std::initializer_list<int> kWorking = {D::kFixtureLabel, D::kAddressLabel, D::kAddressField, D::kFixtureField,
                                             D::kSaveButton,   D::kAddressBar,   D::kFixtureBar};

// Field {name} refuses `text` at `how` (leaving it, or Save): the warning, the field emptied, the focus back.
std::string Refused(const std::string& name, const std::string& text, const std::string& how,
                    const std::string& message) {
  const std::string field = "{" + name + "}";
  return "type " + field + " \"" + text + "\"\n" + how + "\nexpect message \"" + message + "\" warning\nexpect text " +
         field + " \"\"\nexpect focus " + field + "\n";
}

}  // namespace

TEST(ManualAddressingDlg, WaitsFiveSecondsThenFieldsBarsAndSaveReachTheEngine) {
  const std::string address = "DMX Address Must Range in 1 to 512", fixture = "Fixture Number Only From 1 to 170";
  std::vector<int> ids;
  for (const auto& control : CManualAddressingDlg::Layout().controls) ids.push_back(control.id);
  EXPECT_EQ(ids, (std::vector<int>{1006, 1005, 1009, 1012, 1100, 1008, 1000, 1271, 1272}));
  const CScriptRun run = RunDialogScript<CManualAddressingDlg>(WithIds(
      "expect title \"Remote DMX Addressing Manual Setup V2.0\"\nexpect icon 139\nexpect range {addressBar} 0 511\n"
      "expect range {fixtureBar} 0 169\nwait 25\nexpect pos {progress} 0\n" + Expect("hidden", kWorking) +
      "wait 4950\nexpect pos {progress} 198\nexpect visible {progress}\nexpect visible {wait}\nwait 25\n"
      "expect hidden {progress}\nexpect hidden {wait}\nexpect text {fixture} \"1\"\nexpect text {address} \"\"\n" +
      Expect("visible", kWorking) +
      "scroll {fixtureBar} SB_THUMBTRACK 1\nexpect text {fixture} \"2\"\nscroll {addressBar} SB_THUMBTRACK 299\n"
      "expect text {address} \"300\"\nclick {save}\nwait 25\nexpect frame 253 512 3=0 4=1 5=44 6=255\n"
      "type {fixture} \"3\"\nleave {fixture}\nexpect text {address} \"\"\nexpect pos {fixtureBar} 1\nwait 25\n"
      "expect frame 253 512 6=0 9=255\ntype {fixture} \"2\"\nleave {fixture}\nexpect text {address} \"300\"\n"
      "scroll {fixtureBar} SB_LINERIGHT\nexpect text {address} \"\"\n" +
      Refused("fixture", "0", "leave {fixture}", fixture) + Refused("fixture", "171", "leave {fixture}", fixture) +
      Refused("address", "0", "leave {address}", address) + Refused("address", "513", "click {save}", address) +
      "type {address} \"\"\nclick {save}\nwait 25\nexpect frame 253 512 7=0 8=0 9=255\nexpect no-message\nclose\n",
      {{"address", D::kAddressField}, {"fixture", D::kFixtureField}, {"addressBar", D::kAddressBar},
       {"fixtureBar", D::kFixtureBar}, {"save", D::kSaveButton}, {"wait", D::kWaitText},
       {"progress", D::kProgressBar}}));
  EXPECT_EQ(Describe(run.calls).back(), "StandBy()");
}

TEST(AddressingMenuDlg, MenuRunsAFreshToolAtEachPress) {
  RunDialogScript<CAddressingMenuDlg>(
      WithIds("expect title \"Remote DMX addressing V2.0\"\nexpect icon 139\nexpect focus {auto}\n"
              "expect hidden {standard}\nwait 1000\nexpect frames 0\nclick {manual}\nexpect dialog 136\nwait 5000\n"
              "close\nexpect dialog 133\nclick {manual}\nwait 25\nexpect frame 254 512\nclose\n",
              {{"auto", M::kAutoSetupButton}, {"manual", M::kManualSetupButton},
               {"standard", M::kStandardSetupButton}}));
}
