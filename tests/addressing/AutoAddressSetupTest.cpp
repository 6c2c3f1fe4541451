// The automatic addressing dialog through the script host: layout, first-address frames, the run, range checks, the bar.
#include "addressing/AutoAddressSetup.h"
#include "AddressingScripts.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace addressing_test;

namespace {

const char* const kFinish = "The Fixture DMX Address Setup Finish";
const char* const kRange = "DMX Address Must Range in 1 to 512";

CScriptRun RunAuto(const std::string& script) { return RunDialogScript<CAutoAddressSetup>(script); }

std::string ExpectIdle() {
  return "expect visible 1274\nexpect visible 1005\nexpect visible 1000\nexpect visible 1100\n"
         "expect hidden 1272\nexpect hidden 1273\n";
}

}  // namespace

TEST(AutoAddressSetup, OpensIdleWithFieldAtOneAndSendsNothingUntilSetup) {
  std::vector<int> ids;
  for (const auto& control : CAutoAddressSetup::Layout().controls) ids.push_back(control.id);
  EXPECT_EQ(ids, (std::vector<int>{1000, 1005, 1100, 1272, 1273, 1274}));  // resource and tab order

  const CScriptRun run = RunAuto(
      "expect dialog 135\nexpect title \"Remote DMX Addressing Auto Setup V2.0\"\nexpect icon 139\n"
      "expect focus 1000\nexpect text 1000 \"Setup\"\nexpect text 1005 \"1\"\nexpect text 1273 \"Wait ...\"\n"
      "expect text 1274 \"First Address :\"\nexpect range 1100 0 511\nexpect pos 1100 0\n"
      "expect range 1272 0 255\nexpect pos 1272 0\n" +
      ExpectIdle() +
      "wait 2000\nexpect frames 0\n"
      "type 1005 \"12a3\"\n"  // the field takes digits only
      "expect text 1005 \"123\"\ntype 1005 \"abc\"\nexpect text 1005 \"\"\n"
      "close\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Describe(run.calls), std::vector<std::string>{"StandBy()"});
  EXPECT_TRUE(run.boxes.empty());
}

TEST(AutoAddressSetup, FrameCarriesFirstAddressMinusOneHighByteFirst) {
  struct CCase {
    std::string address;
    int high, low;
  };
  for (const CCase& c : {CCase{"1", 0, 0}, CCase{"100", 0, 99}, CCase{"256", 0, 255}, CCase{"257", 1, 0},
                         CCase{"512", 1, 255}, CCase{"0000300", 1, 43}}) {
    const CScriptRun run = RunAuto("type 1005 " + Quoted(c.address) + "\nclick 1000\nwait 50\nexpect frames 1\n"
                                   "expect frame 0xFC 2 1=" + std::to_string(c.high) + " 2=" + std::to_string(c.low) + "\nclose\n");
    ASSERT_TRUE(run.Passed()) << c.address << ": " << run.result.message;
    const std::vector<std::string> expected{"SetChannelValue(0, " + std::to_string(c.high) + ")",
                                            "SetChannelValue(1, " + std::to_string(c.low) + ")",
                                            "SetMode(165, 252, 0, 2)", "Start()", "StandBy()"};
    EXPECT_EQ(Describe(run.calls), expected) << c.address;
  }

  // An address chosen with the bar goes out the same way.
  const CScriptRun dragged = RunAuto("scroll 1100 SB_THUMBTRACK 256\nexpect text 1005 \"257\"\nclick 1000\nwait 50\n"
                                     "expect frame 0xFC 2 1=1 2=0\n");
  EXPECT_TRUE(dragged.Passed()) << dragged.result.message;
}

TEST(AutoAddressSetup, RunSends255FramesAt50MsThenOneFinishMessageAndStandsBy) {
  std::string script =
      "wait 20\nclick 1000\nexpect hidden 1274\nexpect hidden 1005\nexpect hidden 1000\nexpect hidden 1100\n"
      "expect visible 1272\nexpect visible 1273\nexpect pos 1272 0\n"
      "expect frames 0\n";
  // The first start at the first tick after Setup; the bar shows 1 to 254, never 255.
  script += "wait 30\nexpect frames 1\nexpect pos 1272 1\n";
  for (int start = 2; start <= 254; ++start)
    script += "wait 50\nexpect frames " + std::to_string(start) + "\nexpect pos 1272 " + std::to_string(start) + "\n";
  script += "expect no-message\n"
            "wait 50\nexpect frames 255\nexpect message " + Quoted(kFinish) + " none\n"
            "expect no-message\n" +
            ExpectIdle() +
            "expect pos 1272 0\nexpect text 1005 \"1\"\nwait 5000\nexpect frames 255\nexpect no-message\n"
            // A second run starts afresh.
            "click 1000\nwait 100\nexpect frames 257\nexpect pos 1272 2\nclose\nwait 1000\n"
            "expect frames 257\n";
  const CScriptRun run = RunAuto(script);
  ASSERT_TRUE(run.Passed()) << run.result.message;

  ASSERT_EQ(run.frames.size(), 257u);
  for (std::size_t i = 0; i < 255; ++i) {
    EXPECT_EQ(run.frames[i].timeUs, static_cast<std::int64_t>(i + 1) * 50000) << i;
    EXPECT_EQ(run.frames[i].startCode, 0xFC) << i;
    EXPECT_EQ(run.frames[i].slots, (std::vector<std::uint8_t>{0, 0})) << i;
  }
  EXPECT_EQ(run.frames[255].timeUs, 17800000);  // next tick after the second Setup at 17.77 s

  std::vector<std::string> expected{"SetChannelValue(0, 0)", "SetChannelValue(1, 0)", "SetMode(165, 252, 0, 2)"};
  expected.insert(expected.end(), 255, "Start()");
  expected.push_back("StandBy()");
  expected.insert(expected.end(), {"SetChannelValue(0, 0)", "SetChannelValue(1, 0)", "SetMode(165, 252, 0, 2)",
                                   "Start()", "Start()", "StandBy()"});
  EXPECT_EQ(Describe(run.calls), expected);

  ASSERT_EQ(run.boxes.size(), 1u);  // its icon is checked by the script
  EXPECT_EQ(run.boxes[0].caption + " " + std::to_string(run.boxes[0].ownerResourceId), ApplicationName() + " 135");
}

TEST(AutoAddressSetup, ClosingDuringRunStandsByOnceWithoutFinishMessage) {
  const CScriptRun run = RunAuto(
      "type 1005 \"257\"\nclick 1000\nwait 500\nclose\nwait 20000\nexpect frames 10\n"
      "expect no-message\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CallsOf(run.calls, ELinkCall::StandBy).size(), 1u);
  EXPECT_EQ(Describe(run.calls).back(), "StandBy()");
  EXPECT_TRUE(run.boxes.empty());
}

TEST(AutoAddressSetup, AddressOutOfRangeIsRefusedOnLeavingAndNeverSent) {
  std::string script = "scroll 1100 SB_THUMBTRACK 99\n";
  for (const std::string& text : OutOfRange("513"))
    script += RefusalScript(1005, 1000, kRange, text, "1") + "expect pos 1100 99\n";  // the bar is not moved
  // The ends of the range pass; an empty field is never tested and Setup with it does nothing.
  const CScriptRun run = RunAuto(
      script + ExpectIdle() +
      "type 1005 \"512\"\nleave 1005\nexpect no-message\ntype 1005 \"1\"\nleave 1005\nexpect no-message\n"
      "type 1005 \"\"\nleave 1005\nexpect no-message\nexpect text 1005 \"\"\nclick 1000\nexpect focus 1000\n" +
      ExpectIdle() + "wait 500\nexpect frames 0\nexpect no-message\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Describe(run.calls), std::vector<std::string>{"StandBy()"});
  ASSERT_EQ(run.boxes.size(), 12u);
  for (const auto& box : run.boxes) EXPECT_EQ(box.caption + " " + std::to_string(box.ownerResourceId), ApplicationName() + " 135");
}

TEST(AutoAddressSetup, ScrollBarStepsAndFieldFollows) {
  const CScriptRun run = RunAuto(ScrollBarSteppingScript(1100, 1005, 511));
  ASSERT_TRUE(run.Passed()) << run.result.message;
}
