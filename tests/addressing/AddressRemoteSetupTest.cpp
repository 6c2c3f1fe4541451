// The addressing menu through the script host: its layout and the two tools it runs.
#include "addressing/AddressRemoteSetup.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AddressRemoteSetup, MenuRunsEachToolFreshAndStaysBeneathIt) {
  const CScriptRun run = RunDialogScript<CAddressRemoteSetup>(
      "expect dialog 133\nexpect title \"Remote DMX addressing V2.0\"\nexpect icon 139\nexpect focus 1000\n"
      "expect text 1000 \"DMX Address Remote Auto Setup\"\nexpect text 1001 \"DMX Address Remote Manual Setup\"\n"
      "expect text 1002 \"Standard Setup\"\nexpect hidden 1002\nwait 1000\nexpect frames 0\nclick 1000\n"
      "expect dialog 135\ntype 1005 \"77\"\nclose\nexpect dialog 133\nclick 1000\n"
      "expect text 1005 \"1\"\n"  // a new tool, nothing kept from the last one
      "close\nclick 1001\nexpect dialog 136\nclose\nexpect dialog 133\n"
      "close\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Describe(run.calls),
            (std::vector<std::string>{"StandBy()", "StandBy()", "SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)",
                                      "SetPageValue(3)", "SetMode(165, 254, 0, 512)", "StandBy()"}));

  // The hidden button cannot be pressed.
  const CScriptRun hidden = RunDialogScript<CAddressRemoteSetup>("click 1002\n");
  EXPECT_EQ(hidden.result.message, "script:1: control 1002 is hidden");
}
