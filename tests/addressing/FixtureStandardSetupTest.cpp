// The manual addressing dialog through the script host: waiting phase, flags, saves, range checks, bars, closing.
#include "addressing/AddressRemoteSetup.h"
#include "addressing/FixtureStandardSetup.h"
#include "AddressingScripts.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace addressing_test;

namespace {

const char* const kAddressRange = "DMX Address Must Range in 1 to 512";
const char* const kFixtureRange = "Fixture Number Only From 1 to 170";
const std::vector<int> kWorkingControls{1006, 1009, 1005, 1008, 1000, 1100, 1271};

CScriptRun RunManual(const std::string& script) { return RunDialogScript<CFixtureStandardSetup>(script); }

// The waiting phase's 200 ticks, after which the addressing frames run.
const std::string kPastWaiting = "wait 5000\n";

}  // namespace

TEST(ManualAddressSetup, OpensWithBlankPagesThen199BlankFramesThenFlagsFixtureOne) {
  std::vector<int> ids;
  for (const auto& control : CFixtureStandardSetup::Layout().controls) ids.push_back(control.id);
  EXPECT_EQ(ids, (std::vector<int>{1006, 1005, 1009, 1012, 1100, 1008, 1000, 1271, 1272}));

  std::string script =
      "expect dialog 136\nexpect title \"Remote DMX Addressing Manual Setup V2.0\"\nexpect icon 139\n"
      "expect text 1012 \"Wait ...\"\nexpect range 1272 0 200\nexpect range 1100 0 511\nexpect range 1271 0 169\n"
      "expect text 1005 \"\"\nexpect text 1008 \"\"\nexpect frames 0\n";
  for (const int id : kWorkingControls) script += "expect hidden " + std::to_string(id) + "\n";
  for (int tick = 1; tick <= 199; ++tick)
    script += "wait 25\nexpect frames " + std::to_string(tick) + "\nexpect pos 1272 " + std::to_string(tick - 1) + "\n";
  script += "expect visible 1272\nexpect visible 1012\nexpect hidden 1000\n"
            "wait 25\nexpect frames 200\nexpect frame 253 512 3=255\nexpect hidden 1272\nexpect hidden 1012\n";
  for (const int id : kWorkingControls) script += "expect visible " + std::to_string(id) + "\n";
  const CScriptRun run = RunManual(script + "expect text 1008 \"1\"\nexpect text 1005 \"\"\nexpect pos 1100 0\n"
                                            "expect pos 1271 0\nwait 50\nclose\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;

  ASSERT_EQ(run.frames.size(), 202u);
  for (std::size_t i = 0; i < 202; ++i) {
    EXPECT_EQ(run.frames[i].timeUs, static_cast<std::int64_t>(i + 1) * 25000) << i;
    EXPECT_EQ(run.frames[i].startCode, i < 199 ? 0xFE : 0xFD) << i;
    EXPECT_EQ(run.frames[i].slots.size(), 512u) << i;
    EXPECT_EQ(LitSlots(run.frames[i]), (i < 199 ? std::map<int, int>{} : std::map<int, int>{{3, 255}})) << i;
  }
  std::vector<std::string> expected{"SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)", "SetPageValue(3)",
                                    "SetMode(165, 254, 0, 512)"};
  expected.insert(expected.end(), 199, "Start()");
  expected.insert(expected.end(), {"SetChannelValue(2, 255)", "SetMode(165, 253, 0, 512)", "Start()",
                                   "StartWithChannelValue(2, 255)", "StartWithChannelValue(2, 255)", "StandBy()"});
  EXPECT_EQ(Describe(run.calls), expected);
  for (const auto& call : CallsOf(run.calls, ELinkCall::SetPageValue))
    EXPECT_EQ(call.page, std::vector<std::uint8_t>(142, 0)) << call.args[0];
}

TEST(ManualAddressSetup, MovingTheSelectionClearsTheOldFlagBeforeSettingTheNew) {
  const CScriptRun run = RunManual(kPastWaiting +
                                   "scroll 1271 SB_THUMBTRACK 4\nexpect text 1008 \"5\"\nwait 50\n"
                                   "expect frame 253 512 15=255 3=0\n"
                                   // Two changes within one tick: only the last one is flagged.
                                   "type 1008 \"7\"\nleave 1008\ntype 1008 \"9\"\nleave 1008\n"
                                   "expect pos 1271 4\n"  // typing leaves the bar where it was
                                   "wait 25\nexpect frame 253 512 15=0 21=0 27=255\n"
                                   "wait 100\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;

  // Never two flags in one frame; fixture 7 was never flagged.
  for (const auto& frame : run.frames) {
    if (frame.startCode == 0xFD) {
      EXPECT_EQ(std::ranges::count(frame.slots, 255), 1) << frame.timeUs;
    }
  }
  const auto calls = Describe(run.calls);
  EXPECT_EQ(std::ranges::count(calls, "StartWithChannelValue(20, 255)") + std::ranges::count(calls, "SetChannelValue(20, 0)"), 0);
}

TEST(ManualAddressSetup, SaveWritesTheAddressIntoTheFixtureTripleUnchanged) {
  const CScriptRun run = RunManual(
      kPastWaiting +
      "scroll 1271 SB_LINERIGHT\nwait 25\ntype 1005 \"300\"\nclick 1000\nwait 25\nexpect frame 253 512 4=1 5=44 6=255\n"
      "type 1008 \"3\"\nleave 1008\nexpect text 1005 \"\"\nwait 25\n"  // a fixture not saved shows no address
      "type 1005 \"512\"\nclick 1000\nwait 25\nexpect frame 253 512 7=2 8=0 9=255\n"
      "type 1008 \"4\"\nleave 1008\nwait 25\n"
      "scroll 1100 SB_THUMBTRACK 0\nexpect text 1005 \"1\"\nclick 1000\nwait 25\nexpect frame 253 512 10=0 11=1 12=255\n"
      // Saving again overwrites; Save with an empty field does nothing.
      "type 1005 \"258\"\nclick 1000\ntype 1005 \"\"\nclick 1000\nwait 25\n"
      "type 1008 \"2\"\nleave 1008\nexpect text 1005 \"300\"\ntype 1008 \"4\"\nleave 1008\nexpect text 1005 \"258\"\n"
      "type 1008 \"5\"\nleave 1008\nexpect text 1005 \"\"\nexpect no-message\nclose\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(LitSlots(run.frames.back()), (std::map<int, int>{{4, 1}, {5, 44}, {7, 2}, {10, 1}, {11, 2}, {12, 255}}));
}

TEST(ManualAddressSetup, SaveGoesToTheFixtureShownEvenBeforeItsFlagMoves) {
  // Fixture 2 holds 300; fixture 1 is flagged. Typing 2 in the fixture field and pressing Save
  // at once (no tick between) must not copy fixture 2's address onto fixture 1.
  const CScriptRun run = RunManual(kPastWaiting +
                                   "type 1008 \"2\"\nleave 1008\nwait 25\ntype 1005 \"300\"\nclick 1000\n"
                                   "type 1008 \"1\"\nleave 1008\nwait 25\nexpect frame 253 512 3=255 4=1 5=44\n"
                                   "type 1008 \"2\"\nclick 1000\nexpect text 1005 \"300\"\nwait 25\n"
                                   "expect frame 253 512 1=0 2=0 3=0 4=1 5=44 6=255\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  for (const auto& call : CallsOf(run.calls, ELinkCall::SetChannelValue))
    EXPECT_GE(call.args[0], 2) << Describe(call);  // nothing into fixture 1's address channels 0 and 1
}

TEST(ManualAddressSetup, Fixture170IsFlaggedInSlot510AndTheLastTwoSlotsStayZero) {
  const CScriptRun run = RunManual(kPastWaiting +
                                   "scroll 1271 SB_THUMBTRACK 169\nexpect text 1008 \"170\"\nwait 25\n"
                                   "type 1005 \"512\"\nclick 1000\nwait 25\n"
                                   "expect frame 253 512 508=2 509=0 510=255 511=0 512=0 3=0\n"
                                   "scroll 1271 SB_LINERIGHT\nscroll 1271 SB_PAGERIGHT\n"
                                   "expect pos 1271 169\nexpect text 1008 \"170\"\n"
                                   "type 1008 \"170\"\nleave 1008\nexpect no-message\n"
                                   "wait 50\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  for (const auto& frame : run.frames) {
    ASSERT_EQ(frame.slots.size(), 512u);
    EXPECT_EQ(frame.slots[510], 0);
    EXPECT_EQ(frame.slots[511], 0);
  }
  EXPECT_EQ(LitSlots(run.frames.back()), (std::map<int, int>{{508, 2}, {510, 255}}));
}

TEST(ManualAddressSetup, NumbersOutOfRangeAreRefusedAndTheFieldEmptied) {
  std::string script = kPastWaiting + "scroll 1271 SB_THUMBTRACK 4\nwait 25\n";
  for (const std::string& text : OutOfRange("171"))  // the selection stands
    script += RefusalScript(1008, 0, kFixtureRange, text, "") + "expect pos 1271 4\nwait 25\nexpect frame 253 512 15=255\n";
  for (const std::string& text : OutOfRange("513")) script += RefusalScript(1005, 1000, kAddressRange, text, "");
  // Empty fields are never tested; the ends of both ranges pass.
  const CScriptRun run = RunManual(script +
                                   "type 1008 \"\"\nleave 1008\ntype 1005 \"\"\nleave 1005\nexpect no-message\n"
                                   "type 1008 \"1\"\nleave 1008\ntype 1005 \"1\"\nleave 1005\n"
                                   "type 1005 \"512\"\nleave 1005\nexpect no-message\nexpect text 1008 \"1\"\n"
                                   "wait 25\nexpect frame 253 512 3=255 15=0\nclose\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  ASSERT_EQ(run.boxes.size(), 18u);
  for (const auto& box : run.boxes) EXPECT_EQ(box.caption + " " + std::to_string(box.ownerResourceId), ApplicationName() + " 136");
  // No address reached the line.
  for (const auto& call : CallsOf(run.calls, ELinkCall::SetChannelValue)) EXPECT_EQ(call.args[0] % 3, 2) << Describe(call);
}

TEST(ManualAddressSetup, BothBarsStepByTheScrollRule) {
  const CScriptRun address = RunManual(kPastWaiting + ScrollBarSteppingScript(1100, 1005, 511));
  ASSERT_TRUE(address.Passed()) << address.result.message;
  // The address bar only shows; nothing is saved.
  for (const auto& call : CallsOf(address.calls, ELinkCall::SetChannelValue)) EXPECT_EQ(call.args[0], 2);

  const CScriptRun fixture = RunManual(kPastWaiting + ScrollBarSteppingScript(1271, 1008, 169) + "wait 25\n");
  ASSERT_TRUE(fixture.Passed()) << fixture.result.message;
  // The bar's last step chose fixture 159 (position 158).
  EXPECT_EQ(LitSlots(fixture.frames.back()), (std::map<int, int>{{3 * 159, 255}}));
}

TEST(ManualAddressSetup, ClosingInEitherPhaseStandsByOnceAndStopsTheFrames) {
  for (const std::string& when : {std::string("wait 1000\n"), kPastWaiting + "wait 1000\n"}) {
    const CScriptRun run = RunManual(when + "close\nwait 5000\n");
    ASSERT_TRUE(run.Passed()) << run.result.message;
    EXPECT_EQ(CallsOf(run.calls, ELinkCall::StandBy).size(), 1u);
    EXPECT_EQ(Describe(run.calls).back(), "StandBy()");
    EXPECT_EQ(run.frames.size(), when == "wait 1000\n" ? 40u : 240u);
  }
}

TEST(ManualAddressSetup, ReopeningStartsWaitingAgainWithNoSavedAddresses) {
  const CScriptRun run = RunDialogScript<CAddressRemoteSetup>(
      "click 1001\n" + kPastWaiting +
      "type 1005 \"300\"\nclick 1000\nwait 25\nexpect frame 253 512 1=1 2=44 3=255\nclose\nexpect dialog 133\n"
      "click 1001\nexpect visible 1012\nexpect hidden 1000\nwait 25\n"
      "expect frame 254 512 1=0 2=0 3=0\n" +
      kPastWaiting +
      "expect text 1008 \"1\"\nexpect text 1005 \"\"\n"
      "expect frame 253 512 1=0 2=0 3=255\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
}
