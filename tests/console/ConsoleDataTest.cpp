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
  EXPECT_EQ(AsStep(data->LivePage()), StepAll(0));
  EXPECT_EQ(data->Store().StepCount(), 0);
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  EXPECT_EQ(data->Store().Slot(0), StepAll(3));
  EXPECT_TRUE(data->Store().IsClipboardValid());
  EXPECT_EQ(data->MakeChaseFile(), CChaseFile(7, 8, {}));
  // Outside a run the live page follows the output frame within one tick.
  data->SetLevel(141, 200);
  data->SetLevel(142, 100);
  data->Tick();
  EXPECT_EQ(AsStep(data->LivePage()), StepWith({{141, 200}}));
}

TEST(ConsoleData, LoadingAChaseEntersTheLoadedState) {
  auto data = std::make_unique<CConsoleData>();
  RecordChase(*data, {StepAll(1), StepAll(2), StepAll(3), StepAll(4)});
  data->Player().SetFade(50);
  // A fade setting beyond the slider's 6000: kept, and the slider shows the nearest end itself.
  const CChaseFile file(0, 9000, {StepWith({{0, 11}}), StepWith({{0, 22}})});

  EXPECT_EQ(Fields(data->LoadChase(file)), "addText=Overwrite insert=1 delete=1 save=1 run=1 selector=1 upper=2 count=2 number=1 speedPos=0 speedText=0'0.1\" fadePos=9000 fadeText=15'0.0\" refresh");
  EXPECT_EQ(data->Store().StepCount(), 2);
  EXPECT_EQ(data->Store().CurrentStep(), 0);
  EXPECT_EQ(AsStep(data->Screen()), StepWith({{0, 11}}));
  EXPECT_EQ(data->Store().Slot(2), StepAll(3));  // beyond the loaded steps: untouched
  EXPECT_EQ(data->MakeChaseFile(), file);

  // Settings from a file are no slider move: no fade rebuild waits for the next run.
  auto fresh = std::make_unique<CConsoleData>();
  fresh->LoadChase(file);
  EXPECT_FALSE(fresh->Player().IsFadeRecomputeRequested());
}
