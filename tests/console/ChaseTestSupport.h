// Helpers shared by the console's chase tests: composing steps, recording a chase, panel updates, scratch files.
#pragma once
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "console/ConsoleData.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

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

// A fresh folder for one test, removed with everything in it afterwards.
struct CScratchFolder final {
  inline static int s_count = 0;
  const fs::path m_path = fs::temp_directory_path() /
                          ("vexmira-chase-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++));
  CScratchFolder() { fs::create_directories(m_path); }
  CScratchFolder(const CScratchFolder&) = delete;
  CScratchFolder& operator=(const CScratchFolder&) = delete;
  ~CScratchFolder() {
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
  }
  fs::path operator/(const std::string& name) const { return m_path / name; }
  std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_path), {})); }
};

inline Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}
