// Remote fixture setup run from the launcher; its frames read back from the capture by tshark.
#include "Scenario.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <tuple>
#include <vector>

namespace {

// Slots 1 to L + 2 of a setting frame.
std::vector<int> Payload(const CDecodedFrame& frame) {
  if (frame.slots.empty()) return {};
  const std::size_t last = std::min<std::size_t>(frame.slots[0] + 2u, frame.slots.size());
  return {frame.slots.begin(), frame.slots.begin() + static_cast<std::ptrdiff_t>(last)};
}

// Fixture, operation byte, command and first data byte: what a step sequence changes.
using CStep = std::tuple<int, int, int, int>;
CStep Step(const CDecodedFrame& frame) { return {frame.slots[3], frame.slots[7], frame.slots[9], frame.slots[10]}; }

// The first frame from `from` on that carries operation byte 1 (enter).
std::size_t FirstEntered(const std::vector<CDecodedFrame>& frames, std::size_t from) {
  while (from < frames.size() && frames[from].slots[7] != 1) ++from;
  return from;
}

std::size_t Find(const std::vector<CDecodedFrame>& frames, const std::vector<int>& payload, std::size_t from = 0) {
  for (std::size_t i = from; i < frames.size(); ++i)
    if (Payload(frames[i]) == payload) return i;
  return frames.size();
}

}  // namespace

TEST(FixtureScenario, PanelWaitsThenSendsColourFadeSpeedAndAddressCommands) {
  if (!HaveTshark()) GTEST_SKIP() << "tshark is not installed";
  const CScenarioRun run = RunScenario("fixture-panel.vxs", "virtual");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const std::vector<CDecodedFrame> frames = DecodeCapture(run.capture);
  std::filesystem::remove(run.capture);

  // 5 s of zero frames with start code 0xFE, then the setting frame on every tick until closing.
  ASSERT_EQ(frames.size(), 231u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const CDecodedFrame& frame = frames[i];
    ASSERT_EQ(frame.slots.size(), 512u) << i;
    if (i > 0) {
      ASSERT_NEAR(frame.time - frames[i - 1].time, 0.025, 1e-6) << i;
    }
    if (i < 199) {
      ASSERT_EQ(frame.startCode, 0xFE) << i;
      ASSERT_TRUE(std::all_of(frame.slots.begin(), frame.slots.end(), [](std::uint8_t v) { return v == 0; })) << i;
      continue;
    }
    ASSERT_EQ(frame.startCode, 0xF6) << i;
    int sum = 0;
    for (int slot = 3; slot <= frame.slots[0] + 2; ++slot) sum += frame.slots[static_cast<std::size_t>(slot - 1)];
    ASSERT_EQ(frame.slots[1], sum % 256) << i;
    ASSERT_TRUE(std::all_of(frame.slots.begin() + 17, frame.slots.end(), [](std::uint8_t v) { return v == 0; })) << i;
  }
  EXPECT_EQ(Payload(frames[199]), (std::vector<int>{11, 6, 0, 1, 0, 1, 0, 2, 0, 1, 0, 1, 0}));

  // The three worked frames, in the order the script sets them up.
  const std::size_t colour =
      Find(frames, {15, 101, 0, 3, 0, 3, 0, 0, 0, 5, 200, 100, 50, 255, 255, 255, 255});
  const std::size_t fade = Find(frames, {9, 75, 0, 7, 0, 7, 0, 0, 0, 6, 55}, colour);
  const std::size_t address = Find(frames, {11, 71, 0, 12, 0, 12, 0, 1, 0, 1, 1, 44, 0}, fade);
  ASSERT_LT(address, frames.size()) << colour << " " << fade;

  // The colour store: three entered frames, four closing frames, then the next fixture live.
  const std::size_t store = FirstEntered(frames, colour);
  ASSERT_LT(store + 8, frames.size());
  std::vector<CStep> steps;
  for (std::size_t i = store; i < store + 8; ++i) steps.push_back(Step(frames[i]));
  EXPECT_EQ(steps, (std::vector<CStep>{{3, 1, 5, 200}, {3, 1, 5, 200}, {3, 1, 5, 200}, {3, 1, 4, 1}, {3, 1, 4, 1},
                                       {3, 1, 4, 1}, {3, 1, 4, 1}, {4, 0, 5, 200}}));
  // The next fixture starts with the levels set for the previous one.
  EXPECT_EQ(Payload(frames[store + 7]),
            (std::vector<int>{15, 103, 0, 4, 0, 4, 0, 0, 0, 5, 200, 100, 50, 255, 255, 255, 255}));

  // The fade-speed store ends with fixture 8 sent 10.
  const std::size_t fadeStore = FirstEntered(frames, fade);
  EXPECT_EQ(Payload(frames[fadeStore + 7]), (std::vector<int>{9, 32, 0, 8, 0, 8, 0, 0, 0, 6, 10}));
  EXPECT_EQ(Step(frames[fadeStore + 6]), (CStep{7, 1, 4, 2}));
  // The address Enter is seen in three frames, then the address goes live.
  for (std::size_t i = address; i < address + 3; ++i) EXPECT_EQ(frames[i].slots[7], 1) << i;
  EXPECT_EQ(frames[address + 3].slots[7], 0);
  EXPECT_EQ(frames.size(), address + 5);
}
