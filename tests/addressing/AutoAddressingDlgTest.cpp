// The automatic addressing dialog through the script host: its layout, field check and run phases reach the user.
#include "addressing/AutoAddressingDlg.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

static const std::string kIdle = Expect("visible", {1274, 1005, 1000, 1100}) + Expect("hidden", {1272, 1273});

TEST(AutoAddressingDlg, OpensIdleAndRefusesAddressesOutOfRange) {
  std::vector<int> ids;
  for (const auto& control : CAutoAddressingDlg::Layout().controls) ids.push_back(control.id);
  EXPECT_EQ(ids, (std::vector<int>{1000, 1005, 1100, 1272, 1273, 1274}));  // resource and tab order
  std::string script =
      "expect title \"Remote DMX Addressing Auto Setup V2.0\"\nexpect icon 139\nexpect focus 1000\n"
      "expect text 1005 \"1\"\nexpect range 1100 0 511\ntype 1005 \"12a3\"\nexpect text 1005 \"123\"\n"
      "scroll 1100 SB_THUMBTRACK 99\n" + kIdle;
  // Refused on leaving, or at Setup if never left; a number that wraps to a valid one in 32 bits too.
  for (const std::string how : {"0\"\nleave 1005", "513\"\nleave 1005", "4294967297\"\nleave 1005", "513\"\nclick 1000"})
    script += "type 1005 \"" + how + "\nexpect message \"DMX Address Must Range in 1 to 512\" warning\n"
              "expect text 1005 \"1\"\nexpect focus 1005\n";
  const CScriptRun run = RunDialogScript<CAutoAddressingDlg>(
      script + "expect pos 1100 99\n" + kIdle + "type 1005 \"512\"\nleave 1005\ntype 1005 \"\"\nleave 1005\n"
      "click 1000\nwait 500\nexpect no-message\nexpect frames 0\n" + kIdle);
  ASSERT_TRUE(run.Passed()) << run.result.message;
}

TEST(AutoAddressingDlg, RunShowsProgressThenOneFinishMessageAndClosingEndsIt) {
  const CScriptRun run = RunDialogScript<CAutoAddressingDlg>(
      "scroll 1100 SB_THUMBTRACK 256\nexpect text 1005 \"257\"\nwait 20\nclick 1000\n" +
      Expect("hidden", {1274, 1005, 1000, 1100}) + Expect("visible", {1272, 1273}) +
      "expect pos 1272 0\nwait 30\nexpect frame 0xFC 2 1=1 2=0\nexpect pos 1272 1\nwait 12650\nexpect pos 1272 254\n"
      "expect no-message\nwait 50\nexpect message \"The Fixture DMX Address Setup Finish\" none\nexpect no-message\n" +
      kIdle + "expect pos 1272 0\nexpect text 1005 \"257\"\nwait 1000\nexpect frames 255\nclick 1000\nwait 100\n"
      "close\nwait 1000\nexpect frames 257\nexpect no-message\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 1u);
  EXPECT_EQ(run.boxes[0].caption + " " + std::to_string(run.boxes[0].ownerResourceId), ApplicationName() + " 135");
  EXPECT_EQ(CallsOf(run.calls, ELinkCall::StandBy).size(), 2u);  // at the finish and at closing
}
