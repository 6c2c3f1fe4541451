// The addressing menu through the script host: its layout and the two tools it runs.
#include "addressing/AddressRemoteSetup.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AddressRemoteSetup, MenuRunsEachToolFreshAndStaysBeneathIt) {
  const CScriptRun run = RunDialogScript<CAddressRemoteSetup>(
      "expect dialog 133\n"
      "expect title \"Remote DMX addressing V2.0\"\n"
      "expect icon 139\n"
      "expect focus 1000\n"
      "expect text 1000 \"DMX Address Remote Auto Setup\"\n"
      "expect text 1001 \"DMX Address Remote Manual Setup\"\n"
      "expect text 1002 \"Standard Setup\"\n"
      "expect hidden 1002\n"
      "wait 1000\n"
      "expect frames 0\n"
      "click 1000\n"
      "expect dialog 135\n"
      "type 1005 \"77\"\n"
      "close\n"
      "expect dialog 133\n"
      "click 1000\n"
      "expect text 1005 \"1\"\n"  // a new tool, nothing kept from the last one
      "close\n"
      "click 1001\n"
      "expect dialog 136\n"
      "close\n"
      "expect dialog 133\n"
      "close\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Describe(run.calls),
            (std::vector<std::string>{"StandBy()", "StandBy()", "SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)",
                                      "SetPageValue(3)", "SetMode(165, 254, 0, 512)", "StandBy()"}));

  // The hidden button cannot be pressed.
  const CScriptRun hidden = RunDialogScript<CAddressRemoteSetup>("click 1002\n");
  EXPECT_EQ(hidden.result.message, "script:1: control 1002 is hidden");
}
