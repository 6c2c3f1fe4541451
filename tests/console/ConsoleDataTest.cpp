// Tests of the console's program-wide data: a new console, the loaded state, saving.
#include <gtest/gtest.h>

#include <memory>

#include "ChaseTestSupport.h"
#include "console/ConsoleData.h"

TEST(ConsoleData, NewConsoleStartsEmptyButKeepsChaseMemory) {
  auto data = std::make_unique<CConsoleData>();
  RecordChase(*data, {StepAll(3)});
  data->Store().Copy();
  data->Player().SetSpeed(7);
  data->Player().SetFade(8);
  data->SetLevel(511, 99);
  data->Tick();
  data->RunOrStop();  // closed during a run

  data->StartConsole();

  EXPECT_FALSE(data->Player().IsRunning());
  EXPECT_TRUE(data->Player().FadeTable().IsAtRest());
  EXPECT_EQ(data->Level(511), 0);
  EXPECT_EQ(LiveOf(*data), StepAll(0));
  EXPECT_EQ(data->Store().StepCount(), 0);
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  EXPECT_EQ(data->Store().Slot(0), StepAll(3));
  EXPECT_TRUE(data->Store().IsClipboardValid());
  EXPECT_EQ(data->Player().SpeedSetting(), 7);
  EXPECT_EQ(data->Player().FadeSetting(), 8);
  // Outside a run the live page follows the output frame within one tick.
  data->SetLevel(141, 200);
  data->SetLevel(142, 100);
  data->Tick();
  EXPECT_EQ(LiveOf(*data), StepWith({{141, 200}}));
}

TEST(ConsoleData, LoadingAChaseEntersTheLoadedState) {
  auto data = std::make_unique<CConsoleData>();
  RecordChase(*data, {StepAll(1), StepAll(2), StepAll(3), StepAll(4)});
  data->Player().SetFade(50);
  const CChaseFile file(0, 9000, {StepWith({{0, 11}}), StepWith({{0, 22}})});

  const CChasePanelUpdate update = data->LoadChase(file);

  EXPECT_EQ(data->Store().StepCount(), 2);
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  EXPECT_EQ(ScreenOf(*data), StepWith({{0, 11}}));
  EXPECT_EQ(data->Store().Slot(2), StepAll(3));  // beyond the loaded steps: untouched
  EXPECT_EQ(data->Player().SpeedSetting(), 0);
  EXPECT_EQ(data->Player().FadeSetting(), 9000);
  EXPECT_TRUE(update.m_refreshFaders);
  EXPECT_EQ(update.m_stepCountText, "2");
  EXPECT_EQ(update.m_stepNumberText, "1");
  EXPECT_EQ(update.m_selectorUpper, 2);
  EXPECT_EQ(update.m_selectorEnabled, true);
  EXPECT_FALSE(update.m_selectorPos);
  EXPECT_EQ(update.m_speedText, "0'0.1\"");
  EXPECT_EQ(update.m_speedPos, 0);
  EXPECT_EQ(update.m_fadeText, "15'0.0\"");
  EXPECT_EQ(update.m_fadePos, 9000);  // the slider shows the nearest end itself
  EXPECT_EQ(update.m_addText, "Overwrite");
  EXPECT_FALSE(update.m_addEnabled);
  EXPECT_EQ(update.m_saveEnabled, true);
  EXPECT_EQ(update.m_deleteEnabled, true);
  EXPECT_EQ(update.m_insertEnabled, true);
  EXPECT_EQ(update.m_runEnabled, true);
  EXPECT_EQ(data->MakeChaseFile(), file);

  // Settings from a file are no slider move: no fade rebuild waits for the next run.
  auto fresh = std::make_unique<CConsoleData>();
  fresh->LoadChase(file);
  EXPECT_FALSE(fresh->Player().IsFadeRecomputeRequested());
}
