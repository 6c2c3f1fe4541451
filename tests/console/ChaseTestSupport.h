// Helpers shared by the console's chase tests: composing steps and recording a chase.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "console/ConsoleData.h"

// A step with the given (channel index, level) pairs and every other channel at 0.
inline CChaseStep StepWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> levels) {
  CChaseStep step{};
  for (const auto& [channel, level] : levels) {
    step.at(channel) = level;
  }
  return step;
}

// A step with every channel at one level.
inline CChaseStep StepAll(std::uint8_t level) {
  CChaseStep step;
  step.fill(level);
  return step;
}

inline void ShowOnScreen(CConsoleData& data, const CChaseStep& step) {
  std::copy(step.begin(), step.end(), data.Screen().begin());
}

inline CChaseStep ScreenOf(CConsoleData& data) {
  CChaseStep step;
  std::copy(data.Screen().begin(), data.Screen().end(), step.begin());
  return step;
}

inline CChaseStep LiveOf(const CConsoleData& data) {
  CChaseStep step;
  std::copy(data.LivePage().begin(), data.LivePage().end(), step.begin());
  return step;
}

// Opens a console and records the steps with the editor, as a user would with the faders
// and Add; the editor ends on the pending slot.
inline void RecordChase(CConsoleData& data, const std::vector<CChaseStep>& steps) {
  data.StartConsole();
  for (const CChaseStep& step : steps) {
    ShowOnScreen(data, step);
    data.Store().AddOrOverwrite();
  }
}
