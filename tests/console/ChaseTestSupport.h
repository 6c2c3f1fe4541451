// Helpers shared by the console's chase tests: composing steps, recording a chase, reading panel updates.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "console/ConsoleData.h"

// A step with the given (channel index, level) pairs and every other channel at 0.
inline CChaseStep StepWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> levels) {
  CChaseStep step{};
  for (const auto& [channel, level] : levels) step.at(channel) = level;
  return step;
}

inline CChaseStep StepAll(std::uint8_t level) {
  CChaseStep step;
  step.fill(level);
  return step;
}

// The 142 levels of the screen or the live page as one step.
inline CChaseStep AsStep(std::span<const std::uint8_t, kStepSize> levels) {
  CChaseStep step;
  std::copy(levels.begin(), levels.end(), step.begin());
  return step;
}

// Opens a console and records the steps with the editor, as a user would with the faders
// and Add; the editor ends on the pending slot.
inline void RecordChase(CConsoleData& data, const std::vector<CChaseStep>& steps) {
  data.StartConsole();
  for (const CChaseStep& step : steps) {
    std::copy(step.begin(), step.end(), data.Screen().begin());
    data.Store().AddOrOverwrite();
  }
}

// Every control change an update carries, in a fixed order ("name=value ..."); empty members are left out,
// so comparing the whole text also checks that nothing else changes.
inline std::string Fields(const CChasePanelUpdate& u) {
  std::string text;
  const auto put = [&text](const char* name, const auto& value) {
    if (!value) return;
    text += text.empty() ? "" : " ";
    text += name;
    text += "=";
    if constexpr (std::is_same_v<std::decay_t<decltype(*value)>, std::string>) text += *value;
    else if constexpr (std::is_same_v<std::decay_t<decltype(*value)>, bool>) text += *value ? "1" : "0";
    else text += std::to_string(*value);
  };
  put("console", u.m_consoleEnabled), put("addText", u.m_addText), put("add", u.m_addEnabled);
  put("insert", u.m_insertEnabled), put("delete", u.m_deleteEnabled), put("copy", u.m_copyEnabled);
  put("paste", u.m_pasteEnabled), put("open", u.m_openEnabled), put("save", u.m_saveEnabled);
  put("run", u.m_runEnabled), put("runText", u.m_runText), put("selector", u.m_selectorEnabled);
  put("upper", u.m_selectorUpper), put("pos", u.m_selectorPos), put("count", u.m_stepCountText);
  put("number", u.m_stepNumberText), put("speedPos", u.m_speedPos), put("speedText", u.m_speedText);
  put("speed", u.m_speedEnabled), put("fadePos", u.m_fadePos), put("fadeText", u.m_fadeText);
  if (u.m_refreshFaders) text += text.empty() ? "refresh" : " refresh";
  return text;
}
