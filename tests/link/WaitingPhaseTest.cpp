// The waiting phase on a recording link: blank 0xFE frames for 200 ticks, the tool's switch-over before the last start.
#include "link/WaitingPhase.h"
#include "support/RecordingLink.h"

#include <gtest/gtest.h>

TEST(WaitingPhase, SendsBlankFramesFor200TicksAndSwitchesOverBeforeTheLastStart) {
  CRecordingLink link;
  CWaitingPhase waiting(link, [&] { link.DmxLinkSetMode(kLinkMark, 0xF6, 9, kUniverseSlots); });
  for (int tick = 1; tick <= CWaitingPhase::kTicks; ++tick) {
    ASSERT_TRUE(waiting.Tick());
    ASSERT_EQ(waiting.Progress(), tick - 1);  // the bar is hidden before it reaches its end
  }
  EXPECT_FALSE(waiting.Tick() || waiting.IsWaiting());  // from now on the ticks are the tool's
  std::vector<std::string> expected{"SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)", "SetPageValue(3)",
                                    "SetMode(165, 254, 0, 512)"};
  expected.insert(expected.end(), 199, "Start()");
  expected.insert(expected.end(), {"SetMode(165, 246, 9, 512)", "Start()"});
  ASSERT_EQ(link.Described(), expected);
  EXPECT_EQ(link.Frames().at(198).slots, std::vector<std::uint8_t>(kUniverseSlots, 0));
}
