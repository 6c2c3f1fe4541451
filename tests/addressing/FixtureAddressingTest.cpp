// Manual addressing's engine on a recording link: the switch to addressing, the flag moves and the saves, tick by tick.
#include "addressing/FixtureAddressing.h"
#include "support/RecordingLink.h"

#include <gtest/gtest.h>

#include <map>

using CStrings = std::vector<std::string>;

// The non-zero slots of the last frame, slot number (1-based) to value.
static std::map<int, int> LitSlots(CRecordingLink& link) {
  std::map<int, int> lit;
  const std::vector<std::uint8_t> slots = link.Line().Status().lastFrame->slots;
  for (std::size_t i = 0; i < slots.size(); ++i)
    if (slots[i] != 0) lit[static_cast<int>(i) + 1] = slots[i];
  return lit;
}

TEST(FixtureAddressing, FlagsFixtureOneAfterWaitingThenMovesTheFlagAndSavesAddresses) {
  CRecordingLink link;
  CFixtureAddressing engine(link);
  for (int tick = 0; tick < 199; ++tick) engine.Tick();
  link.ClearCalls();
  engine.Tick();
  EXPECT_EQ(LitSlots(link), (std::map<int, int>{{3, 255}}));
  engine.Tick();
  engine.Select(5);
  engine.Tick();
  engine.Select(7);  // two changes within one tick: only the last is flagged
  engine.Select(9);
  engine.Tick();
  EXPECT_EQ(link.Described(), (CStrings{"SetChannelValue(2, 255)", "SetMode(165, 253, 0, 512)", "Start()",
                                        "StartWithChannelValue(2, 255)", "SetChannelValue(2, 0)", "StartWithChannelValue(14, 255)",
                                        "SetChannelValue(14, 0)", "StartWithChannelValue(26, 255)"}));
  EXPECT_EQ(LitSlots(link), (std::map<int, int>{{27, 255}}));

  engine.Select(2);
  engine.Save(300);  // before the flag has moved: to the fixture the controls show
  for (const auto& [fixture, address] : std::vector<std::pair<int, int>>{{3, 512}, {4, 1}, {4, 258}, {170, 512}}) {
    engine.Select(fixture);
    engine.Save(static_cast<std::uint32_t>(address));  // saving again overwrites
  }
  engine.Tick();
  engine.Close();
  EXPECT_EQ(link.Described().back(), "StandBy()");
  EXPECT_EQ(LitSlots(link), (std::map<int, int>{{4, 1}, {5, 44}, {7, 2}, {10, 1}, {11, 2}, {508, 2}, {510, 255}}));
  EXPECT_EQ(engine.SavedAddress(2), 300);
  EXPECT_EQ(engine.SavedAddress(5), std::nullopt);
}
