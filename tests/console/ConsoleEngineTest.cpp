// The console engine on a recording link: its calls byte for byte, tick by tick, the chase editor and playback.
#include "ConsoleTestSupport.h"

using Ticks = std::vector<int>;

const std::string kZeroPages = "SetPageValue(0)+0 SetPageValue(1)+0 SetPageValue(2)+0 SetPageValue(3)+0";

TEST(ConsoleEngine, OpeningAndCleanHandOverZeroPagesFadersAbove142CallAtOnceStandAloneGoesOnTicking) {
  CConsole first;
  Do(first, "level 3 add copy speed 7 fade 8 run");  // closed during a run
  CConsole c(std::move(first.data));
  EXPECT_EQ(TakeCalls(c), kZeroPages);
  EXPECT_EQ(Panel(c), "on 0 of 0 | Add | add | 0@0 | shown 7 8 = 0 |");  // the settings kept, as they play
  EXPECT_EQ(c.engine->Chase(), CChaseFile(7, 8, {}));
  EXPECT_EQ(Sent(c, 2, "paste"), (Ticks{3, 3}));  // the clipboard survived
  for (const int channel : {0, 141, 142, 511}) c.engine->SetLevel(channel, std::uint8_t(channel % 200 + 1));
  EXPECT_EQ(TakeCalls(c), "SetChannelValue(142, 143) SetChannelValue(511, 112)");
  EXPECT_EQ(Tick(c), StepWith({{0, 1}, {141, 142}}));
  EXPECT_EQ(TakeCalls(c, "clean"), kZeroPages);  // and no channel call
  EXPECT_EQ(Tick(c), StepAll(0));
  EXPECT_EQ(TakeCalls(c, "standalone"), "StandBy()");
  Tick(c);  // the tick goes on
  EXPECT_EQ(TakeCalls(c, "standalone"), "SetMode(165, 0, 0, 512)");
}

TEST(ConsoleEngine, EditorOperationsAndWhatThePanelOffersAfterThemUpTo255Steps) {
  CConsole c;
  TakeCalls(c);
  const std::pair<const char*, const char*> rows[] = {
      {"add", "on 1 of 1 | Add | add save run selector | 1@1 = 0 | 0"},  // composed from zeros
      {"level 20 add level 30 add", "on 3 of 3 | Add | add save run selector | 3@3 = 30 | 0 20 30"},
      {"level 40 select 0", "on 0 of 3 | Add | add delete save run selector | 3@0 = 0 | 0 20 30"},  // Delete offered
      {"level 10 add", "on 0 of 3 | Add | add delete save run selector | 3@0 = 10 | 10 20 30"},  // Add overwrites
      {"level 99 select 3", "on 3 of 3 | Add | add save run selector | 3@3 = 40 | 10 20 30"},  // 99 lost, 40 parked
      {"select 2", "on 2 of 3 | Overwrite | add insert delete save run selector | 3@2 = 30 | 10 20 30"},
      {"select 0", "on 0 of 3 | Overwrite | add insert delete save run selector | 3@0 = 10 | 10 20 30"},
      {"copy select 1 paste",
       "on 1 of 3 | Overwrite | add insert delete paste save run selector | 3@1 = 10 | 10 20 30"},
      {"insert", "on 1 of 4 | Overwrite | add insert delete paste save run selector | 4@1 = 0 | 10 0 20 30"},
      {"select 9 delete", "on 4 of 4 | Add | add paste save run selector | 4@4 = 40 | 10 0 20 30"},
      {"select 2 delete", "on 2 of 3 | Add | add delete paste save run selector | 3@2 = 30 | 10 0 30"},
      {"delete", "on 2 of 2 | Add | add paste save run selector | 2@2 = 40 | 10 0"},
      {"select 0 delete delete", "on 0 of 0 | Add | add paste | 1@0 = 40 |"},
      {"add", "on 1 of 1 | Add | add paste save run selector | 1@1 = 40 | 40"},
  };
  for (const auto& [operations, panel] : rows) EXPECT_EQ(Panel(c, operations), panel) << operations;
  EXPECT_EQ(TakeCalls(c), "");  // editing sends nothing: the tick carries channels 1 to 142
  CConsole full;
  for (int s = 0; s < 255; ++s) Do(full, "level " + std::to_string(s) + " add");
  EXPECT_EQ(Panel(full), "on 255 of 255 | Add | save run selector | 255@255 = 254 | 0 1 2 3 4 ...");
  EXPECT_EQ(Panel(full, "level 200 add select 3 insert"),
            "on 3 of 255 | Add | delete save run selector | 255@3 = 3 | 0 1 2 3 4 ...");
  // Room again: Add comes back at once; the table's last slot is the pending slot.
  EXPECT_EQ(Panel(full, "delete select 253 insert"),
            "on 253 of 255 | Overwrite | add delete save run selector | 255@253 = 0 | 0 1 2 4 5 ...");
  EXPECT_EQ(Panel(full, "select 255"), "on 255 of 255 | Add | add save run selector | 255@255 = 200 | 0 1 2 4 5 ...");
}

TEST(ConsoleEngine, LoadedChaseStandsOnItsFirstStepAndEvenAnEmptyOneRuns) {
  CConsole c;
  const CChaseFile file(0, 9000, {StepWith({{0, 11}}), StepWith({{0, 22}})});  // a fade beyond the slider: kept
  Do(c, "add level 5 add level 6 add level 7 add");
  EXPECT_TRUE(c.engine->LoadChase(file));
  EXPECT_EQ(Panel(c), "on 0 of 2 | Overwrite | add insert delete save run selector | 2@4 | shown 0 9000 = 11 | 11 22");
  EXPECT_EQ(c.engine->Chase(), file);
  EXPECT_EQ(Panel(c, "select 2 run"), "on 0 of 2 | Add | run selector | 1@2 | shown 0 9000 | running = 11 | 11 22");
  EXPECT_FALSE(c.engine->LoadChase(CChaseFile{}));  // not during a run; the slots beyond the loaded ones are kept:
  EXPECT_EQ(Panel(c, "run select 2"), "on 2 of 2 | Add | add save run selector | 2@2 | shown 0 9000 = 6 | 11 22");
  EXPECT_TRUE(c.engine->LoadChase(CChaseFile{}));  // an empty chase plays slot 0, whatever the selector says
  EXPECT_EQ(Panel(c, "level 77 run"), "on 0 of 0 | Overwrite | run selector | 0@2 | running = 11 |");  // 77 not parked
  EXPECT_EQ(Sent(c, 11, "select 255"), Ticks(11, 11));
  EXPECT_EQ(Panel(c, "run add"), "on 1 of 1 | Overwrite | add insert delete save run selector | 1@1 = 11 | 11");
}

TEST(ConsoleEngine, StepsAndSettingsChangedSinceTheLastSaveOrLoadAreUnsavedWhileStepsAreRecorded) {
  CConsole c;
  const auto unsaved = [&c](const std::string& operations) { Do(c, operations); return c.engine->HasUnsavedChanges(); };
  EXPECT_FALSE(unsaved("level 5 speed 3 fade 2"));  // nothing recorded, nothing to lose
  for (const char* change : {"add", "select 0 level 7 add", "insert", "delete", "speed 4", "fade 9"}) {
    c.engine->MarkSaved();
    EXPECT_FALSE(unsaved("level 9 clean copy paste select 1 run run")) << change;  // the screen, the clipboard, a run
    EXPECT_TRUE(unsaved(change)) << change;
  }
  c.engine->MarkSaved();
  EXPECT_FALSE(unsaved("speed 4 fade 9"));  // the same settings again
  EXPECT_TRUE(unsaved("add") && c.engine->LoadChase(CChaseFile(1, 1, {StepAll(1)})));
  EXPECT_FALSE(unsaved("") || unsaved("delete"));  // loaded; then no step left
}

TEST(ConsoleEngine, HoldTimingFollowsTheSpeedSetting) {
  // S + 1 ticks a step, the first on tick min(279, S) + 2 (a lower hold shortens it); S = 4 (speed + 1) in 16 bits.
  const struct { int speed, ticks; Ticks moves; } cases[] = {
      {0, 21, {6, 11, 16, 21}}, {9, 124, {42, 83, 124}}, {68, 555, {278, 555}}, {69, 281, {281}}, {70, 281, {281}},
      {5999, 281, {281}}, {16383, 4, {2, 3, 4}}};  // the last: a speed from a file whose hold wraps to 0
  for (const auto& [speed, ticks, moves] : cases) {
    CConsole c;
    EXPECT_EQ(Moves(c, ticks, "level 1 add level 2 add speed " + std::to_string(speed) + " run"), moves) << speed;
  }
}

TEST(ConsoleEngine, RunGoesRoundTheStepsAndStopReturnsToTheEditor) {
  CConsole c;  // 123 composed on the pending slot; the selector's position stays beyond the run's range
  EXPECT_EQ(Panel(c, "level 10 add level 20 add level 30 add copy level 123 run"),
            "on 0 of 3 | Add | run selector | 2@3 | running = 10 | 10 20 30");
  EXPECT_EQ(Sent(c, 21), (Ticks{10, 10, 10, 10, 10, 20, 20, 20, 20, 20, 30, 30, 30, 30, 30, 10, 10, 10, 10, 10, 20}));
  EXPECT_EQ(Panel(c, "insert delete paste run"),  // no editing during a run
            "on 1 of 3 | Overwrite | add insert delete paste save run selector | 3@3 = 20 | 10 20 30");
  EXPECT_EQ(Panel(c, "select 3"), "on 3 of 3 | Add | add paste save run selector | 3@3 = 123 | 10 20 30");
}

TEST(ConsoleEngine, CrossfadesFollowTheRecordedStepsTheFadeSliderAndStop) {
  // Speed 20: 85 ticks a step, the first advance on tick 86; fade 10: 40 ticks, 6 a tick and one more on 15.
  CConsole c;
  EXPECT_EQ(Moves(c, 85, "add level 255 level2 100 add speed 20 fade 10 run"), Ticks{});
  const Ticks up = Sent(c, 85), down = Sent(c, 40, "", 1);  // to step 2, then back to step 1
  EXPECT_EQ((Ticks{up[0], up[38], up[39], up[84], down[0], down[38], down[39]}), (Ticks{6, 249, 255, 255, 98, 3, 0}));
  // Steps shorter than the fade: each change starts from the recorded levels (255 -> 100: 3 a tick, 35 over 40),
  // not from the live 32; channel 2, at 255 in both steps, stays where the unfinished fade left it.
  CConsole shorter;
  EXPECT_EQ(Sent(shorter, 10, "add level 255 level2 255 add level 100 add fade 10 run").back(), 32);
  EXPECT_EQ(Tick(shorter), StepWith({{0, 32 + 3 + 1}, {1, 32}}));
  EXPECT_EQ(Sent(shorter, 2, "", 1), (Ticks{32, 32}));
  EXPECT_EQ(Sent(shorter, 2, "fade 20"), (Ticks{46, 48}));  // rebuilt: 155 over 80 ticks (3 a tick before)
  EXPECT_EQ(Sent(shorter, 1, "run", 1), Ticks{255});  // Stop: the current step's levels at the next tick
}

TEST(ConsoleEngine, JumpsFollowTheSelectorWithTheFadeTime) {
  CConsole c;
  EXPECT_EQ(Panel(c, "add level 200 add level 40 add fade 10 run select 1"),
            "on 0 of 3 | Add | run selector | 2@1 | shown 0 10 | following = 0 | 0 200 40");
  EXPECT_EQ(Moves(c, 1), Ticks{1});
  const Ticks fade = Sent(c, 39);
  EXPECT_EQ((Ticks{fade[37], fade[38]}), (Ticks{195, 200}));  // 40 ticks
  EXPECT_EQ(Moves(c, 600), Ticks{});  // no advancing any more
  EXPECT_EQ(Moves(c, 1, "select 1"), Ticks{});
  EXPECT_EQ(Sent(c, 1, "select 2"), Ticks{196});  // the second jump fades from the first one's step
  EXPECT_EQ(Moves(c, 1, "select 9"), Ticks{});  // held to the recorded steps
  EXPECT_EQ(Panel(c, "run"),
            "on 2 of 3 | Overwrite | add insert delete save run selector | 3@2 | shown 0 10 = 40 | 0 200 40");
  EXPECT_EQ(Moves(c, 6, "run"), Ticks{6});  // a new run advances again
}
