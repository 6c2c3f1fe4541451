// Tests of the chase step editor: recording, selecting, inserting, deleting, clipboard.
#include <gtest/gtest.h>

#include <memory>

#include "ChaseTestSupport.h"
#include "console/ChaseStore.h"

namespace {

std::unique_ptr<CConsoleData> NewConsole() {
  auto data = std::make_unique<CConsoleData>();
  data->StartConsole();
  return data;
}

}  // namespace

TEST(ChaseEditor, FirstAddOnAFreshConsoleRecordsAnAllZeroStep) {
  auto data = NewConsole();
  CChaseStore& store = data->Store();
  EXPECT_TRUE(store.IsOnPendingSlot());

  const CChasePanelUpdate update = store.AddOrOverwrite();

  EXPECT_EQ(store.StepCount(), 1);
  EXPECT_EQ(store.CurrentStep(), 1);
  EXPECT_EQ(store.Slot(0), StepAll(0));
  EXPECT_EQ(update.m_stepNumberText, "2");
  EXPECT_EQ(update.m_stepCountText, "1");
  EXPECT_EQ(update.m_saveEnabled, true);
  EXPECT_EQ(update.m_runEnabled, true);
  EXPECT_EQ(update.m_selectorEnabled, true);
  EXPECT_EQ(update.m_selectorUpper, 1);
  EXPECT_EQ(update.m_selectorPos, 1);
  EXPECT_FALSE(update.m_addText);  // the button still says "Add"
  // The next step starts as a copy of the one just added.
  EXPECT_EQ(ScreenOf(*data), StepAll(0));

  // The second Add changes only the count, number and selector.
  data->SetLevel(3, 30);
  const CChasePanelUpdate second = store.AddOrOverwrite();
  EXPECT_EQ(store.Slot(1), StepWith({{3, 30}}));
  EXPECT_EQ(second.m_stepCountText, "2");
  EXPECT_EQ(second.m_stepNumberText, "3");
  EXPECT_FALSE(second.m_saveEnabled);
  EXPECT_FALSE(second.m_selectorEnabled);
  EXPECT_EQ(second.m_selectorUpper, 2);
  EXPECT_EQ(second.m_selectorPos, 2);
}

TEST(ChaseEditor, PendingStepIsParkedWhenLeftAndShownAgain) {
  auto data = NewConsole();
  RecordChase(*data, {StepWith({{0, 10}})});
  CChaseStore& store = data->Store();
  data->SetLevel(0, 20);  // composing step 2 on the pending slot
  data->SetLevel(141, 7);

  const CChasePanelUpdate onStep1 = store.Select(0);
  EXPECT_EQ(ScreenOf(*data), StepWith({{0, 10}}));
  EXPECT_TRUE(onStep1.m_refreshFaders);
  EXPECT_EQ(onStep1.m_stepNumberText, "1");
  EXPECT_EQ(onStep1.m_addText, "Overwrite");
  EXPECT_EQ(onStep1.m_insertEnabled, true);
  EXPECT_EQ(onStep1.m_deleteEnabled, true);

  const CChasePanelUpdate back = store.Select(1);
  EXPECT_EQ(ScreenOf(*data), StepWith({{0, 20}, {141, 7}}));
  EXPECT_EQ(back.m_stepNumberText, "2");
  EXPECT_EQ(back.m_addText, "Add");
  EXPECT_EQ(back.m_insertEnabled, false);
  EXPECT_EQ(back.m_deleteEnabled, false);
  EXPECT_EQ(store.StepCount(), 1);  // parking records nothing
}

TEST(ChaseEditor, ChangeOnARecordedStepIsDiscardedUnlessOverwritten) {
  auto data = NewConsole();
  RecordChase(*data, {StepWith({{0, 10}}), StepWith({{0, 20}}), StepWith({{0, 30}})});
  CChaseStore& store = data->Store();

  store.Select(0);
  data->SetLevel(0, 99);
  const CChasePanelUpdate earlier = store.Select(1);
  // Step 2 of 3 is neither the last nor the pending slot: only Delete changes.
  EXPECT_FALSE(earlier.m_addText);
  EXPECT_FALSE(earlier.m_insertEnabled);
  EXPECT_EQ(earlier.m_deleteEnabled, true);
  store.Select(0);
  EXPECT_EQ(data->Level(0), 10);
  EXPECT_EQ(store.Slot(0), StepWith({{0, 10}}));

  data->SetLevel(0, 99);
  const CChasePanelUpdate overwrite = store.AddOrOverwrite();
  EXPECT_EQ(store.Slot(0), StepWith({{0, 99}}));
  EXPECT_EQ(store.StepCount(), 3);
  EXPECT_EQ(store.CurrentStep(), 0);
  EXPECT_FALSE(overwrite.m_stepNumberText);
  EXPECT_FALSE(overwrite.m_stepCountText);
  EXPECT_FALSE(overwrite.m_selectorPos);
}

TEST(ChaseEditor, InsertOnStepThreeOfFivePutsAnEmptyStepThere) {
  auto data = NewConsole();
  RecordChase(*data, {StepWith({{0, 1}}), StepWith({{0, 2}}), StepWith({{0, 3}}),
                      StepWith({{0, 4}}), StepWith({{0, 5}})});
  CChaseStore& store = data->Store();
  data->SetLevel(0, 66);
  store.Select(2);  // parks the pending levels in slot 5
  data->SetLevel(1, 50);  // an unsaved change, lost with the insert

  const CChasePanelUpdate update = store.Insert();

  EXPECT_EQ(store.StepCount(), 6);
  EXPECT_EQ(store.CurrentStep(), 2);
  EXPECT_EQ(store.Slot(0), StepWith({{0, 1}}));
  EXPECT_EQ(store.Slot(1), StepWith({{0, 2}}));
  EXPECT_EQ(store.Slot(2), StepAll(0));
  EXPECT_EQ(store.Slot(3), StepWith({{0, 3}}));
  EXPECT_EQ(store.Slot(5), StepWith({{0, 5}}));
  EXPECT_EQ(store.Slot(6), StepWith({{0, 66}}));  // the pending slot moved along
  EXPECT_EQ(ScreenOf(*data), StepAll(0));
  EXPECT_TRUE(update.m_refreshFaders);
  EXPECT_EQ(update.m_stepCountText, "6");
  EXPECT_EQ(update.m_selectorUpper, 6);
  EXPECT_FALSE(update.m_stepNumberText);  // still "3"
  EXPECT_FALSE(update.m_selectorPos);
  EXPECT_FALSE(update.m_addText);
  EXPECT_FALSE(update.m_deleteEnabled);

  // The step that was current is one place later.
  store.Select(3);
  EXPECT_EQ(data->Level(0), 3);
  store.Select(6);
  EXPECT_EQ(data->Level(0), 66);
}

TEST(ChaseEditor, DeleteMovesLaterStepsDownAndEndsOnThePendingSlot) {
  auto data = NewConsole();
  RecordChase(*data, {StepWith({{0, 1}}), StepWith({{0, 2}}), StepWith({{0, 3}})});
  CChaseStore& store = data->Store();
  data->SetLevel(0, 44);
  store.Select(1);

  const CChasePanelUpdate middle = store.Delete();
  EXPECT_EQ(store.StepCount(), 2);
  EXPECT_EQ(store.CurrentStep(), 1);
  EXPECT_EQ(store.Slot(1), StepWith({{0, 3}}));
  EXPECT_EQ(data->Level(0), 3);  // the step that took its place
  EXPECT_EQ(middle.m_stepCountText, "2");
  EXPECT_EQ(middle.m_selectorUpper, 2);
  EXPECT_FALSE(middle.m_selectorPos);
  EXPECT_FALSE(middle.m_addText);
  EXPECT_FALSE(middle.m_addEnabled);  // Add was never disabled by a full store

  const CChasePanelUpdate last = store.Delete();  // the last step: onto the pending slot
  EXPECT_EQ(store.StepCount(), 1);
  EXPECT_TRUE(store.IsOnPendingSlot());
  EXPECT_EQ(data->Level(0), 44);  // the parked pending levels
  EXPECT_EQ(last.m_addText, "Add");
  EXPECT_EQ(last.m_deleteEnabled, false);
  EXPECT_FALSE(last.m_saveEnabled);

  // Delete on the pending slot changes nothing.
  const CChasePanelUpdate none = store.Delete();
  EXPECT_EQ(store.StepCount(), 1);
  EXPECT_FALSE(none.m_refreshFaders);
  EXPECT_FALSE(none.m_stepCountText);
}

TEST(ChaseEditor, DeletingTheOnlyStepLeavesAnEmptyChase) {
  auto data = NewConsole();
  RecordChase(*data, {StepWith({{0, 10}})});
  CChaseStore& store = data->Store();
  data->SetLevel(0, 77);
  store.Select(0);

  const CChasePanelUpdate update = store.Delete();

  EXPECT_EQ(store.StepCount(), 0);
  EXPECT_EQ(store.CurrentStep(), 0);
  EXPECT_TRUE(store.IsOnPendingSlot());
  EXPECT_EQ(ScreenOf(*data), StepWith({{0, 77}}));  // the former pending slot
  EXPECT_TRUE(update.m_refreshFaders);
  EXPECT_EQ(update.m_stepCountText, "0");
  EXPECT_EQ(update.m_addText, "Add");
  EXPECT_EQ(update.m_deleteEnabled, false);
  EXPECT_EQ(update.m_selectorEnabled, false);
  EXPECT_EQ(update.m_saveEnabled, false);
  EXPECT_EQ(update.m_runEnabled, false);
  EXPECT_FALSE(update.m_selectorUpper);

  EXPECT_FALSE(store.Delete().m_stepCountText);  // nothing left to delete
}

TEST(ChaseEditor, PasteShowsTheCopyWithoutStoringIt) {
  auto data = NewConsole();
  RecordChase(*data, {StepWith({{0, 10}}), StepWith({{0, 20}})});
  CChaseStore& store = data->Store();
  EXPECT_FALSE(store.IsClipboardValid());
  store.Select(0);
  data->SetLevel(5, 55);  // copied as on screen, fader moves included

  const CChasePanelUpdate copy = store.Copy();
  EXPECT_EQ(copy.m_pasteEnabled, true);
  EXPECT_TRUE(store.IsClipboardValid());

  store.Select(1);
  const CChasePanelUpdate paste = store.Paste();
  EXPECT_TRUE(paste.m_refreshFaders);
  EXPECT_EQ(ScreenOf(*data), StepWith({{0, 10}, {5, 55}}));
  EXPECT_EQ(store.Slot(1), StepWith({{0, 20}}));
  EXPECT_EQ(store.Slot(0), StepWith({{0, 10}}));

  store.AddOrOverwrite();
  EXPECT_EQ(store.Slot(1), StepWith({{0, 10}, {5, 55}}));
}

TEST(ChaseEditor, TheTwoHundredFiftyFifthStepFillsTheStore) {
  auto data = NewConsole();
  CChaseStore& store = data->Store();
  CChasePanelUpdate update;
  for (int s = 0; s < 255; ++s) {
    data->SetLevel(0, static_cast<std::uint8_t>(s));
    update = store.AddOrOverwrite();
  }
  EXPECT_EQ(store.StepCount(), 255);
  EXPECT_EQ(store.CurrentStep(), 255);
  EXPECT_EQ(update.m_addEnabled, false);
  EXPECT_EQ(update.m_stepCountText, "255");
  EXPECT_EQ(update.m_stepNumberText, "256");
  EXPECT_EQ(update.m_selectorUpper, 255);
  EXPECT_EQ(store.Slot(254), StepWith({{0, 254}}));

  // The last slot of the table is now the pending slot; a further Add only parks there.
  data->SetLevel(0, 200);
  const CChasePanelUpdate full = store.AddOrOverwrite();
  EXPECT_EQ(store.StepCount(), 255);
  EXPECT_EQ(store.CurrentStep(), 255);
  EXPECT_EQ(store.Slot(255), StepWith({{0, 200}}));
  EXPECT_FALSE(full.m_stepCountText);

  store.Select(3);
  EXPECT_FALSE(store.Insert().m_stepCountText);
  EXPECT_EQ(store.StepCount(), 255);
  EXPECT_EQ(store.Slot(3), StepWith({{0, 3}}));

  // One fewer makes room again: Add is offered once more, and one insert fills the store again.
  EXPECT_EQ(store.Delete().m_addEnabled, true);
  const CChasePanelUpdate insert = store.Insert();
  EXPECT_EQ(store.StepCount(), 255);
  EXPECT_EQ(insert.m_insertEnabled, false);
  EXPECT_EQ(store.Slot(255), StepWith({{0, 200}}));
}

TEST(ChaseEditor, SelectorPositionBeyondThePendingSlotIsHeldThere) {
  auto data = NewConsole();
  RecordChase(*data, {StepWith({{0, 10}})});
  CChaseStore& store = data->Store();
  const CChasePanelUpdate update = store.Select(9);
  EXPECT_EQ(store.CurrentStep(), 1);
  EXPECT_EQ(update.m_selectorPos, 1);
  store.AddOrOverwrite();
  EXPECT_EQ(store.StepCount(), 2);
  EXPECT_EQ(store.Slot(1), StepWith({{0, 10}}));
}
