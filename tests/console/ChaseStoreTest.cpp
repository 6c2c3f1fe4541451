// Tests of the chase step editor: recording, selecting, inserting, deleting, clipboard.
#include <gtest/gtest.h>

#include <memory>

#include "ChaseTestSupport.h"
#include "console/ChaseStore.h"

namespace {

// A console with the steps recorded (channel 1 at each level), on the pending slot.
std::unique_ptr<CConsoleData> Recorded(std::initializer_list<std::uint8_t> levels) {
  auto data = std::make_unique<CConsoleData>();
  std::vector<CChaseStep> steps;
  for (const std::uint8_t level : levels) steps.push_back(StepWith({{0, level}}));
  RecordChase(*data, steps);
  return data;
}

}  // namespace

TEST(ChaseEditor, FirstAddOnAFreshConsoleRecordsAnAllZeroStep) {
  auto data = std::make_unique<CConsoleData>();
  // An earlier console left levels in slot 0; the new chase is still composed from zeros.
  data->SetLevel(0, 9);
  data->Store().AddOrOverwrite();
  data->StartConsole();
  CChaseStore& store = data->Store();
  EXPECT_TRUE(store.IsOnPendingSlot());

  EXPECT_EQ(Fields(store.AddOrOverwrite()), "save=1 run=1 selector=1 upper=1 pos=1 count=1 number=2");
  EXPECT_EQ(store.StepCount(), 1);
  EXPECT_EQ(store.CurrentStep(), 1);
  EXPECT_EQ(store.Slot(0), StepAll(0));
  EXPECT_EQ(AsStep(data->Screen()), StepAll(0));  // the next step starts as a copy

  data->SetLevel(3, 30);
  EXPECT_EQ(Fields(store.AddOrOverwrite()), "upper=2 pos=2 count=2 number=3");
  EXPECT_EQ(store.Slot(1), StepWith({{3, 30}}));
}

TEST(ChaseEditor, PendingStepIsParkedWhenLeftAndShownAgain) {
  auto data = Recorded({10});
  CChaseStore& store = data->Store();
  data->SetLevel(0, 20);  // composing step 2 on the pending slot
  data->SetLevel(141, 7);

  EXPECT_EQ(Fields(store.Select(0)), "addText=Overwrite insert=1 delete=1 number=1 refresh");
  EXPECT_EQ(AsStep(data->Screen()), StepWith({{0, 10}}));
  EXPECT_EQ(Fields(store.Select(1)), "addText=Add insert=0 delete=0 number=2 refresh");
  EXPECT_EQ(AsStep(data->Screen()), StepWith({{0, 20}, {141, 7}}));
  EXPECT_EQ(store.StepCount(), 1);  // parking records nothing

  // Beyond the pending slot the selector is held there.
  EXPECT_EQ(Fields(store.Select(9)), "addText=Add insert=0 delete=0 pos=1 number=2 refresh");
  EXPECT_EQ(store.CurrentStep(), 1);
}

TEST(ChaseEditor, ChangeOnARecordedStepIsDiscardedUnlessOverwritten) {
  auto data = Recorded({10, 20, 30});
  CChaseStore& store = data->Store();
  store.Select(0);
  data->SetLevel(0, 99);
  // Step 2 of 3 is neither the last nor the pending slot: only Delete changes.
  EXPECT_EQ(Fields(store.Select(1)), "delete=1 number=2 refresh");
  store.Select(0);
  EXPECT_EQ(data->Level(0), 10);
  EXPECT_EQ(store.Slot(0), StepWith({{0, 10}}));

  data->SetLevel(0, 99);
  EXPECT_EQ(Fields(store.AddOrOverwrite()), "");
  EXPECT_EQ(store.Slot(0), StepWith({{0, 99}}));
  EXPECT_EQ(store.StepCount(), 3);
  EXPECT_EQ(store.CurrentStep(), 0);
}

TEST(ChaseEditor, InsertOnStepThreeOfFivePutsAnEmptyStepThere) {
  auto data = Recorded({1, 2, 3, 4, 5});
  CChaseStore& store = data->Store();
  data->SetLevel(0, 66);
  store.Select(2);        // parks the pending levels in slot 5
  data->SetLevel(1, 50);  // an unsaved change, lost with the insert

  EXPECT_EQ(Fields(store.Insert()), "upper=6 count=6 refresh");
  EXPECT_EQ(store.StepCount(), 6);
  EXPECT_EQ(store.CurrentStep(), 2);
  std::vector<CChaseStep> slots;
  for (std::size_t s = 0; s < 7; ++s) slots.push_back(store.Slot(s));
  EXPECT_EQ(slots, (std::vector<CChaseStep>{StepWith({{0, 1}}), StepWith({{0, 2}}), StepAll(0), StepWith({{0, 3}}),
                                            StepWith({{0, 4}}), StepWith({{0, 5}}), StepWith({{0, 66}})}));
  EXPECT_EQ(AsStep(data->Screen()), StepAll(0));
  store.Select(6);
  EXPECT_EQ(data->Level(0), 66);  // the pending slot moved along
}

TEST(ChaseEditor, DeleteMovesLaterStepsDownAndTheOnlyStepLeavesAnEmptyChase) {
  auto data = Recorded({1, 2, 3});
  CChaseStore& store = data->Store();
  data->SetLevel(0, 44);
  store.Select(1);
  EXPECT_EQ(Fields(store.Delete()), "upper=2 count=2 refresh");
  EXPECT_EQ(store.CurrentStep(), 1);
  EXPECT_EQ(data->Level(0), 3);  // the step that took its place
  // The last step: onto the pending slot and its parked levels; Delete there changes nothing.
  EXPECT_EQ(Fields(store.Delete()), "addText=Add delete=0 upper=1 count=1 refresh");
  EXPECT_TRUE(store.IsOnPendingSlot());
  EXPECT_EQ(data->Level(0), 44);
  EXPECT_EQ(Fields(store.Delete()), "");

  store.Select(0);
  data->SetLevel(0, 77);  // a change to the only step, lost with it
  EXPECT_EQ(Fields(store.Delete()), "addText=Add delete=0 save=0 run=0 selector=0 count=0 refresh");
  EXPECT_EQ(store.StepCount(), 0);
  EXPECT_EQ(store.CurrentStep(), 0);
  EXPECT_EQ(AsStep(data->Screen()), StepWith({{0, 44}}));  // the former pending slot
  EXPECT_EQ(Fields(store.Delete()), "");
}

TEST(ChaseEditor, PasteShowsTheCopyWithoutStoringIt) {
  auto data = Recorded({10, 20});
  CChaseStore& store = data->Store();
  EXPECT_FALSE(store.IsClipboardValid());
  store.Select(0);
  data->SetLevel(5, 55);  // copied as on screen, fader moves included
  EXPECT_EQ(Fields(store.Copy()), "paste=1");

  store.Select(1);
  EXPECT_EQ(Fields(store.Paste()), "refresh");
  EXPECT_EQ(AsStep(data->Screen()), StepWith({{0, 10}, {5, 55}}));
  EXPECT_EQ(store.Slot(0), StepWith({{0, 10}}));
  EXPECT_EQ(store.Slot(1), StepWith({{0, 20}}));
  store.AddOrOverwrite();
  EXPECT_EQ(store.Slot(1), StepWith({{0, 10}, {5, 55}}));
}

TEST(ChaseEditor, TheTwoHundredFiftyFifthStepFillsTheStore) {
  auto data = Recorded({});
  CChaseStore& store = data->Store();
  CChasePanelUpdate update;
  for (int s = 0; s < 255; ++s) {
    data->SetLevel(0, static_cast<std::uint8_t>(s));
    update = store.AddOrOverwrite();
  }
  EXPECT_EQ(Fields(update), "add=0 upper=255 pos=255 count=255 number=256");
  EXPECT_EQ(store.StepCount(), 255);
  EXPECT_EQ(store.Slot(254), StepWith({{0, 254}}));

  // The last slot of the table is now the pending slot; a further Add only parks there.
  data->SetLevel(0, 200);
  EXPECT_EQ(Fields(store.AddOrOverwrite()), "");
  EXPECT_EQ(store.StepCount(), 255);
  EXPECT_EQ(store.CurrentStep(), 255);
  EXPECT_EQ(store.Slot(255), StepWith({{0, 200}}));

  store.Select(3);
  EXPECT_EQ(Fields(store.Insert()), "");
  EXPECT_EQ(store.Slot(3), StepWith({{0, 3}}));
  // One fewer makes room again: Add is offered once more, and one insert fills the store again.
  EXPECT_EQ(Fields(store.Delete()), "add=1 upper=254 count=254 refresh");
  EXPECT_EQ(Fields(store.Insert()), "insert=0 upper=255 count=255 refresh");
  EXPECT_EQ(store.StepCount(), 255);
  EXPECT_EQ(store.Slot(255), StepWith({{0, 200}}));
}
