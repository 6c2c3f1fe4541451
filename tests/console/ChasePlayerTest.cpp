// Tests of chase playback: hold timing, crossfades counted tick by tick on the live page, jumps, Stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ChaseTestSupport.h"
#include "console/ChasePlayer.h"
#include "console/FadeTable.h"

namespace {

// A recorded chase with the given settings, running unless told otherwise.
std::unique_ptr<CConsoleData> Chase(const std::vector<CChaseStep>& steps, std::uint16_t speed, std::uint16_t fade,
                                    bool run = true) {
  auto data = std::make_unique<CConsoleData>();
  RecordChase(*data, steps);
  data->Player().SetSpeed(speed);
  data->Player().SetFade(fade);
  if (run) data->RunOrStop();
  return data;
}

// Ticks n times; returns the ticks (counted from 1) on which the run moved to a step.
std::vector<int> TicksThatMove(CConsoleData& data, int n) {
  std::vector<int> moves;
  for (int tick = 1; tick <= n; ++tick)
    if (data.Tick()) moves.push_back(tick);
  return moves;
}

// Ticks n times; returns channel `c` of the live page after each tick.
std::vector<int> LiveLevels(CConsoleData& data, int n, std::size_t c = 0) {
  std::vector<int> levels;
  for (int tick = 1; tick <= n; ++tick) {
    data.Tick();
    levels.push_back(data.LivePage()[c]);
  }
  return levels;
}

using Ticks = std::vector<int>;

}  // namespace

TEST(ChasePlayback, HoldTimingFollowsTheSpeedSetting) {
  const std::vector<CChaseStep> steps = {StepAll(1), StepAll(2)};
  // S + 1 ticks a step, the first advance on tick min(279, S) + 2; S = 4 (speed + 1) wrapped to 16 bits.
  const struct { std::uint16_t speed; int ticks; Ticks moves; } cases[] = {
      {0, 21, {6, 11, 16, 21}}, {9, 124, {42, 83, 124}}, {68, 555, {278, 555}}, {69, 281, {281}}, {70, 281, {281}},
      {5999, 281, {281}}, {16383, 4, {2, 3, 4}}};  // the last: a speed from a file whose hold wraps to 0
  for (const auto& c : cases) EXPECT_EQ(TicksThatMove(*Chase(steps, c.speed, 0), c.ticks), c.moves) << c.speed;

  // A lowered speed shortens the step under way; a raised one counts from the next step.
  auto data = Chase(steps, 100, 0);  // S = 404
  EXPECT_EQ(TicksThatMove(*data, 291), Ticks{281});
  data->Player().SetSpeed(0);  // S = 4: the counter drops to 4 at the next tick
  EXPECT_EQ(TicksThatMove(*data, 10), Ticks{6});
  data->Player().SetSpeed(1);  // S = 8
  EXPECT_EQ(TicksThatMove(*data, 20), (Ticks{1, 10, 19}));
}

TEST(ChasePlayback, StepsGoRoundWithTheStepNumberAndNoFadeAtFadeZero) {
  auto data = Chase({StepAll(10), StepAll(20), StepAll(30)}, 0, 0, false);
  EXPECT_EQ(data->RunOrStop().m_stepNumberText, "1");
  EXPECT_EQ(AsStep(data->LivePage()), StepAll(10));  // the run starts on step 1 with no fade
  std::vector<int> shown;
  for (int tick = 1; tick <= 21; ++tick) {
    if (!data->Tick()) continue;
    shown.push_back(data->Store().CurrentStep() + 1);
    EXPECT_EQ(data->StepNumberText(), std::to_string(shown.back()));
    EXPECT_EQ(AsStep(data->LivePage()), StepAll(static_cast<std::uint8_t>(10 * shown.back())));  // same tick
  }
  EXPECT_EQ(shown, (Ticks{2, 3, 1, 2}));
}

TEST(ChasePlayback, FadeOfOneSecondTakesFortyTicksBothWays) {
  // Speed 20: 85 ticks a step, first advance on tick 86; fade 10: 40 ticks, 6 a tick and one more on 15 of them.
  auto data = Chase({StepAll(0), StepWith({{0, 255}, {1, 100}})}, 20, 10);
  EXPECT_EQ(TicksThatMove(*data, 85), Ticks{});
  const Ticks up = LiveLevels(*data, 85);
  EXPECT_EQ(up[0], 6);
  EXPECT_EQ(up[38], 249);
  EXPECT_EQ(up[39], 255);
  EXPECT_EQ(up[84], 255);
  EXPECT_EQ(data->LivePage()[1], 100);
  const Ticks down = LiveLevels(*data, 40);  // from tick 171: back to step 1
  EXPECT_EQ(down[0], 249);
  EXPECT_EQ(down[38], 6);
  EXPECT_EQ(AsStep(data->LivePage()), StepAll(0));
  EXPECT_EQ(data->Store().CurrentStep(), 0);
}

TEST(ChasePlayback, FadeLongerThanTheHoldFollowsTheRecordedSteps) {
  // Speed 0: 5 ticks a step; fade 10: 40 ticks.
  auto data = Chase({StepAll(0), StepWith({{0, 255}, {1, 255}}), StepWith({{0, 100}, {1, 255}})}, 0, 10);
  EXPECT_EQ(LiveLevels(*data, 10).back(), 32);  // step 2 since tick 6
  EXPECT_EQ(data->LivePage()[1], 32);
  EXPECT_TRUE(data->Tick());  // tick 11: step 3
  // The fade is built from the recorded levels 255 -> 100 (3 a tick, 35 over 40), not from the live 32;
  // channel 1 is 255 in both steps and stays where the unfinished fade left it.
  EXPECT_EQ(data->LivePage()[0], 32 + 3 + 1);
  EXPECT_EQ(data->LivePage()[1], 32);

  // Every channel keeps moving toward its current target and never passes it.
  CChaseStep before = AsStep(data->LivePage());
  for (int tick = 12; tick <= 400; ++tick) {
    data->Tick();
    const CChaseStep after = AsStep(data->LivePage());
    for (std::size_t c = 0; c < 2; ++c) {
      const int from = before[c], to = data->Screen()[c];
      EXPECT_TRUE(std::min(from, to) <= after[c] && after[c] <= std::max(from, to)) << "channel " << c << " tick " << tick;
    }
    if (tick <= 15) {
      EXPECT_EQ(after[1], 32) << tick;
    }
    before = after;
  }
}

TEST(ChasePlayback, OneRecordedStepStaysAndRebuildsAnIdleTable) {
  auto data = Chase({StepWith({{0, 80}})}, 0, 5);
  EXPECT_EQ(TicksThatMove(*data, 16), (Ticks{6, 11, 16}));
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  EXPECT_EQ(data->Player().FadeTable().At(0), (CFadeTable::Channel{0, 0, 20, 0}));
  EXPECT_EQ(AsStep(data->LivePage()), StepWith({{0, 80}}));
}

TEST(ChasePlayback, JumpsFollowTheSelectorWithTheFadeTime) {
  auto data = Chase({StepAll(0), StepAll(200), StepAll(40)}, 0, 10);
  EXPECT_EQ(Fields(data->StepSelectorMoved(1)), "speed=0");
  EXPECT_TRUE(data->Tick());
  EXPECT_EQ(data->Store().CurrentStep(), 1);
  EXPECT_EQ(data->Player().FromStep(), 0);
  EXPECT_LT(LiveLevels(*data, 38).back(), 200);
  data->Tick();
  EXPECT_EQ(AsStep(data->LivePage()), StepAll(200));  // 40 ticks
  // No advancing any more: the run stays on the selected step, and selecting it again changes nothing.
  EXPECT_EQ(TicksThatMove(*data, 600), Ticks{});
  data->StepSelectorMoved(1);
  EXPECT_FALSE(data->Tick());

  data->StepSelectorMoved(2);  // the second jump fades from where the first ended
  EXPECT_TRUE(data->Tick());
  EXPECT_EQ(data->Player().FromStep(), 1);
  EXPECT_EQ(data->LivePage()[0], 196);
  LiveLevels(*data, 39);
  EXPECT_EQ(AsStep(data->LivePage()), StepAll(40));

  EXPECT_EQ(Fields(data->RunOrStop()), "console=1 addText=Overwrite add=1 insert=1 delete=1 copy=1 open=1 save=1 runText=Run upper=3 speed=1 refresh");
  EXPECT_EQ(data->Store().CurrentStep(), 2);
  EXPECT_EQ(AsStep(data->Screen()), StepAll(40));
  EXPECT_TRUE(data->Player().IsJumpRequested());  // until the next Run
  data->RunOrStop();
  EXPECT_FALSE(data->Player().IsJumpRequested());
  EXPECT_EQ(TicksThatMove(*data, 6), Ticks{6});
}

TEST(ChasePlayback, StopOrANewFadeTimeDuringAFade) {
  auto data = Chase({StepAll(0), StepAll(255)}, 0, 100);
  EXPECT_LT(LiveLevels(*data, 10).back(), 255);
  EXPECT_EQ(data->Store().CurrentStep(), 1);
  data->RunOrStop();
  EXPECT_TRUE(data->Player().FadeTable().IsAtRest());
  EXPECT_FALSE(data->Tick());
  EXPECT_EQ(AsStep(data->LivePage()), StepAll(255));  // the current step at the next tick

  // The fade slider moved 3 ticks into a fade rebuilds the table: 255 over 80 ticks, 3 a tick.
  auto fading = Chase({StepAll(0), StepAll(255)}, 0, 10);
  const int before = LiveLevels(*fading, 8).back();
  EXPECT_EQ(fading->Player().SetFade(20).m_fadeText, "0'2.0\"");
  EXPECT_EQ(LiveLevels(*fading, 1), (Ticks{before + 3}));
  EXPECT_EQ(fading->Player().FadeTable().At(0).m_divisor, 80);
}

TEST(ChasePlayback, RunAndStopSwitchTheEditingControlsAndKeepTheComposedStep) {
  auto data = Chase({StepAll(1), StepAll(2)}, 0, 0, false);
  data->SetLevel(0, 123);  // on the pending slot
  EXPECT_EQ(Fields(data->RunOrStop()), "console=0 add=0 insert=0 delete=0 copy=0 paste=0 open=0 save=0 runText=Stop upper=1 number=1");
  EXPECT_TRUE(data->Player().IsRunning());
  EXPECT_EQ(data->Level(0), 1);
  TicksThatMove(*data, 3);
  EXPECT_EQ(Fields(data->RunOrStop()), "console=1 addText=Overwrite add=1 insert=1 delete=1 copy=1 open=1 save=1 runText=Run upper=2 speed=1 refresh");
  EXPECT_FALSE(data->Player().IsRunning());
  data->StepSelectorMoved(2);
  EXPECT_EQ(data->Level(0), 123);
  EXPECT_EQ(data->Store().StepCount(), 2);

  data->Store().Copy();
  data->RunOrStop();
  EXPECT_EQ(data->RunOrStop().m_pasteEnabled, true);
}

TEST(ChasePlayback, EmptyChasePlaysSlotZeroAndJumpsNowhereElse) {
  auto data = std::make_unique<CConsoleData>();
  data->LoadChase(CChaseFile{});
  data->Store().Select(0);
  EXPECT_EQ(data->RunOrStop().m_selectorUpper, 0);
  EXPECT_EQ(TicksThatMove(*data, 11), (Ticks{6, 11}));
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  data->StepSelectorMoved(255);  // a selector wrapped below 0
  EXPECT_EQ(data->Player().JumpTarget(), 0);
  EXPECT_FALSE(data->Tick());
  data->RunOrStop();
  data->Store().AddOrOverwrite();
  EXPECT_EQ(data->Store().StepCount(), 1);
  EXPECT_EQ(data->Store().CurrentStep(), 1);
}
