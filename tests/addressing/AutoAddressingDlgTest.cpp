// The automatic addressing dialog through the script host: its layout, field check and run phases reach the user.
#include "addressing/AutoAddressingDlg.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include <algorithm>

using D = CAutoAddressingDlg;

// The script with the dialog's controls named.
static std::string Named(const std::string& script) {
  return WithIds(script, {{"setup", D::kSetupButton}, {"field", D::kAddressField}, {"bar", D::kAddressBar},
                          {"progress", D::kProgressBar}});
}

static const std::initializer_list<int> kIdleControls = {D::kAddressLabel, D::kAddressField, D::kSetupButton,
                                                         D::kAddressBar};
static const std::initializer_list<int> kRunControls = {D::kProgressBar, D::kWaitText};
static const std::string kIdle = Expect("visible", kIdleControls) + Expect("hidden", kRunControls);

TEST(AutoAddressingDlg, OpensIdleAndRefusesAddressesOutOfRange) {
  std::vector<int> ids;
  for (const auto& control : CAutoAddressingDlg::Layout().controls) ids.push_back(control.id);
  EXPECT_EQ(ids, (std::vector<int>{1000, 1005, 1100, 1272, 1273, 1274}));  // resource and tab order
  std::string script =
      "expect title \"Remote DMX Addressing Auto Setup V2.0\"\nexpect icon 139\nexpect focus {setup}\n"
      "expect text {field} \"1\"\nexpect range {bar} 0 511\ntype {field} \"12a3\"\nexpect text {field} \"123\"\n"
      "scroll {bar} SB_THUMBTRACK 99\n" + kIdle;
  // Refused on leaving, or at Setup if never left; a number that wraps to a valid one in 32 bits too.
  for (const std::string how :
       {"0\"\nleave {field}", "513\"\nleave {field}", "4294967297\"\nleave {field}", "513\"\nclick {setup}"})
    script += "type {field} \"" + how + "\nexpect message \"DMX Address Must Range in 1 to 512\" warning\n"
              "expect text {field} \"1\"\nexpect focus {field}\n";
  RunDialogScript<CAutoAddressingDlg>(Named(
      script + "expect pos {bar} 99\n" + kIdle + "type {field} \"512\"\nleave {field}\ntype {field} \"\"\n"
      "leave {field}\nclick {setup}\nwait 500\nexpect no-message\nexpect frames 0\n" + kIdle));
}

TEST(AutoAddressingDlg, RunShowsProgressThenOneFinishMessageAndClosingEndsIt) {
  const CScriptRun run = RunDialogScript<CAutoAddressingDlg>(Named(
      "scroll {bar} SB_THUMBTRACK 256\nexpect text {field} \"257\"\nwait 20\nclick {setup}\n" +
      Expect("hidden", kIdleControls) + Expect("visible", kRunControls) +
      "expect pos {progress} 0\nwait 30\nexpect frame 0xFC 2 1=1 2=0\nexpect pos {progress} 1\nwait 12650\n"
      "expect pos {progress} 254\nexpect no-message\nwait 50\nexpect message none\nexpect no-message\n" + kIdle +
      "expect pos {progress} 0\nexpect text {field} \"257\"\nclick {setup}\nwait 100\nclose\nwait 1000\n"
      "expect frames 257\nexpect no-message\n"));
  EXPECT_EQ(std::ranges::count(Describe(run.calls), "StandBy()"), 2);  // at the finish and at closing
}
