// Tests of chase playback: hold timing, crossfades counted tick by tick, jumps, Stop.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ChaseTestSupport.h"
#include "console/ChasePlayer.h"
#include "console/FadeTable.h"

namespace {

std::unique_ptr<CConsoleData> Chase(const std::vector<CChaseStep>& steps,
                                    std::uint16_t speed, std::uint16_t fade) {
  auto data = std::make_unique<CConsoleData>();
  RecordChase(*data, steps);
  data->Player().SetSpeed(speed);
  data->Player().SetFade(fade);
  return data;
}

// Ticks n times; returns the ticks (counted from 1) on which the run moved to a step.
std::vector<int> TicksThatMove(CConsoleData& data, int n) {
  std::vector<int> moves;
  for (int tick = 1; tick <= n; ++tick) {
    if (data.Tick()) {
      moves.push_back(tick);
    }
  }
  return moves;
}

void TickTimes(CConsoleData& data, int n) {
  for (int i = 0; i < n; ++i) {
    data.Tick();
  }
}

}  // namespace

TEST(ChasePlayback, HoldTimingFollowsTheSpeedSetting) {
  const std::vector<CChaseStep> steps = {StepAll(1), StepAll(2)};
  // Speed 0 (shown as 0.1 s): first advance on tick min(279, 4) + 2, then every 5 ticks.
  auto fast = Chase(steps, 0, 0);
  fast->RunOrStop();
  EXPECT_EQ(TicksThatMove(*fast, 21), (std::vector<int>{6, 11, 16, 21}));

  // Speed 9 (1.0 s): first advance on tick 42, then 41 ticks a step.
  auto second = Chase(steps, 9, 0);
  second->RunOrStop();
  EXPECT_EQ(TicksThatMove(*second, 124), (std::vector<int>{42, 83, 124}));

  // Speed 69 and above: the first step is held 7 s, tick 281.
  for (std::uint16_t speed : {69, 70, 5999}) {
    auto slow = Chase(steps, speed, 0);
    slow->RunOrStop();
    const std::vector<int> moves = TicksThatMove(*slow, 281);
    EXPECT_EQ(moves, (std::vector<int>{281})) << "speed " << speed;
  }
  auto at68 = Chase(steps, 68, 0);  // S = 276
  at68->RunOrStop();
  EXPECT_EQ(TicksThatMove(*at68, 278 + 277), (std::vector<int>{278, 555}));

  // Speeds from a file whose hold length wraps to 0: a step every tick.
  auto wrapped = Chase(steps, 16383, 0);
  wrapped->RunOrStop();
  EXPECT_EQ(TicksThatMove(*wrapped, 4), (std::vector<int>{2, 3, 4}));
}

TEST(ChasePlayback, LoweredSpeedShortensTheStepUnderWay) {
  auto data = Chase({StepAll(1), StepAll(2)}, 100, 0);  // S = 404
  data->RunOrStop();
  EXPECT_EQ(TicksThatMove(*data, 281), (std::vector<int>{281}));
  TickTimes(*data, 10);
  data->Player().SetSpeed(0);  // S = 4: the counter drops to 4 at the next tick
  EXPECT_EQ(TicksThatMove(*data, 10), (std::vector<int>{6}));
  // A raised speed counts from the next step only.
  data->Player().SetSpeed(1);  // S = 8
  EXPECT_EQ(TicksThatMove(*data, 20), (std::vector<int>{1, 10, 19}));
}

TEST(ChasePlayback, StepsGoRoundWithTheStepNumber) {
  auto data = Chase({StepAll(10), StepAll(20), StepAll(30)}, 0, 0);
  const CChasePanelUpdate run = data->RunOrStop();
  EXPECT_EQ(run.m_stepNumberText, "1");
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  EXPECT_EQ(LiveOf(*data), StepAll(10));  // the run starts on step 1 with no fade

  std::vector<int> shown;
  for (int tick = 1; tick <= 21; ++tick) {
    if (data->Tick()) {
      shown.push_back(data->Store().CurrentStep() + 1);
      EXPECT_EQ(data->StepNumberText(), std::to_string(shown.back()));
      // Fade setting 0: the new levels are out on the same tick.
      EXPECT_EQ(LiveOf(*data), StepAll(static_cast<std::uint8_t>(10 * shown.back())));
    }
  }
  EXPECT_EQ(shown, (std::vector<int>{2, 3, 1, 2}));
}

TEST(ChasePlayback, FadeOfOneSecondTakesFortyTicksBothWays) {
  // Speed 20: 85 ticks a step, first advance on tick 86.
  auto data = Chase({StepAll(0), StepWith({{0, 255}, {1, 100}})}, 20, 10);
  data->RunOrStop();
  EXPECT_EQ(TicksThatMove(*data, 85), std::vector<int>{});
  EXPECT_TRUE(data->Tick());  // tick 86: on to step 2, fade 1 of 40

  const CFadeTable::Channel& channel = data->Player().FadeTable().At(0);
  EXPECT_EQ(channel.m_step, 6);
  EXPECT_EQ(channel.m_remainder, 15);
  EXPECT_EQ(channel.m_divisor, 40);
  EXPECT_EQ(channel.m_error, 20 + 15);  // started at half the divisor, one tick run
  EXPECT_EQ(data->LivePage()[0], 6);

  TickTimes(*data, 38);
  EXPECT_EQ(data->LivePage()[0], 249);
  EXPECT_EQ(data->LivePage()[1], 98);
  data->Tick();  // tick 40 of the fade
  EXPECT_EQ(data->LivePage()[0], 255);
  EXPECT_EQ(data->LivePage()[1], 100);
  TickTimes(*data, 45);  // to tick 170
  EXPECT_EQ(data->LivePage()[0], 255);

  EXPECT_TRUE(data->Tick());  // tick 171: back to step 1
  EXPECT_EQ(data->LivePage()[0], 249);
  TickTimes(*data, 38);
  EXPECT_EQ(data->LivePage()[0], 6);
  data->Tick();
  EXPECT_EQ(data->LivePage()[0], 0);
  EXPECT_EQ(data->LivePage()[1], 0);
}

TEST(ChasePlayback, FadeLongerThanTheHoldFollowsTheRecordedSteps) {
  // Speed 0: 5 ticks a step; fade 10: 40 ticks.
  auto data = Chase({StepWith({{0, 0}, {1, 0}}), StepWith({{0, 255}, {1, 255}}),
                     StepWith({{0, 100}, {1, 255}})},
                    0, 10);
  data->RunOrStop();
  TickTimes(*data, 10);  // step 2 since tick 6
  EXPECT_EQ(data->LivePage()[0], 32);
  EXPECT_EQ(data->LivePage()[1], 32);

  EXPECT_TRUE(data->Tick());  // tick 11: step 3
  // The table comes from the recorded levels 255 -> 100, not from the live 32.
  EXPECT_EQ(data->Player().FadeTable().At(0).m_step, 155 / 40);
  EXPECT_EQ(data->Player().FadeTable().At(0).m_remainder, 155 % 40);
  // Channel 1 is 255 in both steps: it stays where the unfinished fade left it.
  EXPECT_EQ(data->Player().FadeTable().At(1).m_step, 0);
  EXPECT_EQ(data->Player().FadeTable().At(1).m_remainder, 0);
  EXPECT_EQ(data->LivePage()[0], 32 + 3 + 1);  // error 20 + 35 passes 40: one more
  EXPECT_EQ(data->LivePage()[1], 32);

  // Every channel keeps moving toward its current target and never passes it.
  CChaseStep before = LiveOf(*data);
  for (int tick = 12; tick <= 400; ++tick) {
    data->Tick();
    const CChaseStep after = LiveOf(*data);
    const auto& target = data->Screen();
    for (std::size_t c = 0; c < 2; ++c) {
      const int from = before[c];
      const int to = target[c];
      const int now = after[c];
      EXPECT_TRUE((from <= now && now <= to) || (to <= now && now <= from))
          << "channel " << c << " tick " << tick << ": " << from << " -> " << now
          << " toward " << to;
    }
    if (tick <= 15) {
      EXPECT_EQ(after[1], 32) << "tick " << tick;
    }
    before = after;
  }
}

TEST(ChasePlayback, OneRecordedStepStaysAndRebuildsAnIdleTable) {
  auto data = Chase({StepWith({{0, 80}})}, 0, 5);
  data->RunOrStop();
  EXPECT_EQ(TicksThatMove(*data, 16), (std::vector<int>{6, 11, 16}));
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  for (std::size_t c = 0; c < kStepSize; ++c) {
    EXPECT_EQ(data->Player().FadeTable().At(c).m_step, 0);
    EXPECT_EQ(data->Player().FadeTable().At(c).m_remainder, 0);
    EXPECT_EQ(data->Player().FadeTable().At(c).m_divisor, 20);
  }
  EXPECT_EQ(LiveOf(*data), StepWith({{0, 80}}));
}

TEST(ChasePlayback, JumpsFollowTheSelectorWithTheFadeTime) {
  auto data = Chase({StepAll(0), StepAll(200), StepAll(40)}, 0, 10);
  data->RunOrStop();

  const CChasePanelUpdate jump = data->StepSelectorMoved(1);
  EXPECT_EQ(jump.m_speedEnabled, false);
  EXPECT_TRUE(data->Tick());
  EXPECT_EQ(data->Store().CurrentStep(), 1);
  EXPECT_EQ(data->Player().FromStep(), 0);
  EXPECT_EQ(data->Player().FadeTable().At(0).m_divisor, 40);
  TickTimes(*data, 38);
  EXPECT_LT(data->LivePage()[0], 200);
  data->Tick();
  EXPECT_EQ(LiveOf(*data), StepAll(200));
  // No advancing any more: the run stays on the selected step.
  EXPECT_EQ(TicksThatMove(*data, 600), std::vector<int>{});
  EXPECT_EQ(data->Store().CurrentStep(), 1);

  // Selecting the step already playing changes nothing.
  data->StepSelectorMoved(1);
  EXPECT_FALSE(data->Tick());

  data->StepSelectorMoved(2);
  EXPECT_TRUE(data->Tick());
  EXPECT_EQ(data->Player().FromStep(), 1);
  EXPECT_EQ(data->Player().FadeTable().At(0).m_step, 160 / 40);
  TickTimes(*data, 39);
  EXPECT_EQ(LiveOf(*data), StepAll(40));

  const CChasePanelUpdate stop = data->RunOrStop();
  EXPECT_EQ(stop.m_speedEnabled, true);
  EXPECT_EQ(stop.m_selectorUpper, 3);
  EXPECT_EQ(stop.m_addText, "Overwrite");
  EXPECT_TRUE(stop.m_refreshFaders);
  EXPECT_EQ(data->Store().CurrentStep(), 2);
  EXPECT_EQ(ScreenOf(*data), StepAll(40));
  EXPECT_TRUE(data->Player().IsJumpRequested());  // until the next Run

  data->RunOrStop();
  EXPECT_FALSE(data->Player().IsJumpRequested());
  EXPECT_EQ(TicksThatMove(*data, 6), std::vector<int>{6});
}

TEST(ChasePlayback, StopDuringAFadeShowsTheCurrentStepAtTheNextTick) {
  auto data = Chase({StepAll(0), StepAll(255)}, 0, 100);
  data->RunOrStop();
  TickTimes(*data, 10);
  EXPECT_EQ(data->Store().CurrentStep(), 1);
  EXPECT_LT(data->LivePage()[0], 255);

  data->RunOrStop();
  EXPECT_TRUE(data->Player().FadeTable().IsAtRest());
  EXPECT_FALSE(data->Tick());
  EXPECT_EQ(LiveOf(*data), StepAll(255));
  // Stopped, the live page follows fader moves in one tick.
  data->SetLevel(7, 9);
  data->Tick();
  EXPECT_EQ(data->LivePage()[7], 9);
}

TEST(ChasePlayback, FadeSliderDuringAFadeRebuildsTheTable) {
  auto data = Chase({StepAll(0), StepAll(255)}, 0, 10);
  data->RunOrStop();
  TickTimes(*data, 8);  // 3 ticks into the fade to step 2
  const std::uint8_t before = data->LivePage()[0];

  const CChasePanelUpdate update = data->Player().SetFade(20);
  EXPECT_EQ(update.m_fadeText, "0'2.0\"");
  data->Tick();
  const CFadeTable::Channel& channel = data->Player().FadeTable().At(0);
  EXPECT_EQ(channel.m_divisor, 80);
  EXPECT_EQ(channel.m_step, 255 / 80);
  EXPECT_EQ(channel.m_error, 40 + 255 % 80);
  EXPECT_EQ(data->LivePage()[0], before + 3);
}

TEST(ChasePlayback, RunAndStopSwitchTheEditingControls) {
  auto data = Chase({StepAll(1), StepAll(2)}, 0, 0);
  const CChasePanelUpdate run = data->RunOrStop();
  EXPECT_TRUE(data->Player().IsRunning());
  EXPECT_EQ(run.m_runText, "Stop");
  for (const auto* control :
       {&run.m_consoleEnabled, &run.m_deleteEnabled, &run.m_copyEnabled, &run.m_addEnabled,
        &run.m_pasteEnabled, &run.m_insertEnabled, &run.m_openEnabled, &run.m_saveEnabled}) {
    EXPECT_EQ(*control, false);
  }
  EXPECT_FALSE(run.m_runEnabled);
  EXPECT_FALSE(run.m_speedEnabled);
  EXPECT_FALSE(run.m_selectorEnabled);
  EXPECT_EQ(run.m_selectorUpper, 1);  // the pending slot cannot be chosen

  const CChasePanelUpdate stop = data->RunOrStop();
  EXPECT_FALSE(data->Player().IsRunning());
  EXPECT_EQ(stop.m_runText, "Run");
  for (const auto* control :
       {&stop.m_consoleEnabled, &stop.m_deleteEnabled, &stop.m_copyEnabled, &stop.m_addEnabled,
        &stop.m_insertEnabled, &stop.m_openEnabled, &stop.m_saveEnabled, &stop.m_speedEnabled}) {
    EXPECT_EQ(*control, true);
  }
  EXPECT_FALSE(stop.m_pasteEnabled);  // nothing copied yet

  data->Store().Copy();
  data->RunOrStop();
  EXPECT_EQ(data->RunOrStop().m_pasteEnabled, true);
}

TEST(ChasePlayback, RunKeepsTheStepBeingComposed) {
  auto data = Chase({StepAll(1)}, 0, 0);
  data->SetLevel(0, 123);  // on the pending slot
  data->RunOrStop();
  EXPECT_EQ(data->Level(0), 1);
  TickTimes(*data, 3);
  data->RunOrStop();
  data->StepSelectorMoved(1);
  EXPECT_EQ(data->Level(0), 123);
  EXPECT_EQ(data->Store().StepCount(), 1);
}

TEST(ChasePlayback, EmptyChasePlaysSlotZeroAndJumpsNowhereElse) {
  auto data = std::make_unique<CConsoleData>();
  data->LoadChase(CChaseFile{});
  data->Store().Select(0);
  const CChasePanelUpdate run = data->RunOrStop();
  EXPECT_EQ(run.m_selectorUpper, 0);
  EXPECT_EQ(TicksThatMove(*data, 11), (std::vector<int>{6, 11}));
  EXPECT_EQ(data->Store().CurrentStep(), 0);

  data->StepSelectorMoved(255);  // a selector wrapped below 0
  EXPECT_EQ(data->Player().JumpTarget(), 0);
  EXPECT_FALSE(data->Tick());
  data->RunOrStop();
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  data->Store().AddOrOverwrite();
  EXPECT_EQ(data->Store().StepCount(), 1);
  EXPECT_EQ(data->Store().CurrentStep(), 1);
}
