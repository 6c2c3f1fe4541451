// Automatic addressing's engine on a recording link: the first-address frame and the run, tick by tick.
#include "addressing/AutoAddressRun.h"
#include "support/RecordingLink.h"

#include <gtest/gtest.h>

using CStrings = std::vector<std::string>;

TEST(AutoAddressRun, SendsTheFirstAddressMinusOne255TimesThenStandsByOnceTheFinishIsAcknowledged) {
  for (const auto& [address, high, low] : std::vector<std::array<int, 3>>{{1, 0, 0}, {100, 0, 99}, {256, 0, 255}, {257, 1, 0}, {512, 1, 255}}) {
    CRecordingLink link;
    CAutoAddressRun run(link);
    run.Setup(static_cast<std::uint32_t>(address));
    run.Tick();
    EXPECT_EQ(link.Frames().at(0).StartCodeAndSlots(), (std::vector<std::uint8_t>{0xFC, std::uint8_t(high), std::uint8_t(low)}));
  }
  CRecordingLink link;
  CAutoAddressRun run(link);
  run.Tick();  // idle ticks do nothing
  run.Setup(7);
  for (int start = 1; start <= CAutoAddressRun::kStarts; ++start) {
    ASSERT_EQ(run.State(), EAutoAddressState::Running) << start;
    run.Tick();
    ASSERT_EQ(run.StartsMade(), start);
  }
  EXPECT_EQ(run.State(), EAutoAddressState::Finished);
  run.Tick();  // while the finish message is up
  run.FinishAcknowledged();
  run.Tick();
  EXPECT_EQ(run.State(), EAutoAddressState::Idle);
  run.Setup(7);  // a second run starts afresh; closing ends it
  run.Tick();
  run.Close();
  run.Tick();
  const CStrings setup{"SetChannelValue(0, 0)", "SetChannelValue(1, 6)", "SetMode(165, 252, 0, 2)"};
  CStrings expected = setup;
  expected.insert(expected.end(), 255, "Start()");
  expected.insert(expected.end(), {"StandBy()", setup[0], setup[1], setup[2], "Start()", "StandBy()"});
  EXPECT_EQ(link.Described(), expected);
}
