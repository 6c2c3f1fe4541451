// Helpers of the console's tests: chase steps, a console engine on a recording link, its ticks and its panel.
#pragma once
#include <unistd.h>

#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "console/ConsoleEngine.h"
#include "support/RecordingLink.h"

inline CChaseStep StepAll(std::uint8_t level) { CChaseStep step; step.fill(level); return step; }

// A step with the given (channel index, level) pairs and every other channel at 0.
inline CChaseStep StepWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> levels) {
  CChaseStep step{};
  for (const auto& [channel, level] : levels) step.at(channel) = level;
  return step;
}

// A console opened as the launcher opens it (level mode first) on new data or an earlier console's; `moves`
// counts the engine's step-changed calls.
struct CConsole {
  explicit CConsole(std::unique_ptr<CConsoleData> earlier = std::make_unique<CConsoleData>()) : data(std::move(earlier)) {
    link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
    link.ClearCalls();
    engine = std::make_unique<CConsoleEngine>(link, *data);
    engine->OnStepChanged([this] { ++moves; });
  }
  CRecordingLink link;
  std::unique_ptr<CConsoleData> data;
  std::unique_ptr<CConsoleEngine> engine;
  int moves = 0;
};

// The calls made since the last look, in readable form.
inline std::string TakeCalls(CConsole& c) {
  std::ostringstream text;
  for (const std::string& call : c.link.Described()) text << (text.tellp() > 0 ? " " : "") << call;
  c.link.ClearCalls();
  return text.str();
}

// One console tick, which must make one call, page 0 to the line: that page.
inline CChaseStep Tick(CConsole& c) {
  c.link.ClearCalls();
  c.engine->Tick();
  CChaseStep page{};
  const auto calls = c.link.Calls();
  if (calls.size() == 1 && calls[0].page.size() == kStepSize) std::copy_n(calls[0].page.begin(), kStepSize, page.begin());
  EXPECT_EQ(TakeCalls(c), "StartWithPageValue(0)");
  return page;
}

// Console operations as words: "level N" and "level2 N" (channels 1 and 2 on the faders), "select N", "speed N",
// "fade N", "add", "insert", "delete", "copy", "paste", "run" (Run or Stop).
inline void Do(CConsole& c, const std::string& operations) {
  static const std::map<std::string, void (CConsoleEngine::*)()> kButtons = {
      {"add", &CConsoleEngine::AddOrOverwrite}, {"insert", &CConsoleEngine::Insert}, {"delete", &CConsoleEngine::Delete},
      {"copy", &CConsoleEngine::Copy}, {"paste", &CConsoleEngine::Paste}, {"run", &CConsoleEngine::RunOrStop}};
  std::istringstream words(operations);
  for (std::string word; words >> word;) {
    int n = 0;
    if (kButtons.contains(word)) ((*c.engine).*kButtons.at(word))();
    else if (!(words >> n)) ADD_FAILURE() << "no number after " << word;
    else if (word == "select") c.engine->MoveStepSelector(static_cast<std::uint8_t>(n));
    else if (word == "speed") c.engine->SetSpeed(static_cast<std::uint16_t>(n));
    else if (word == "fade") c.engine->SetFade(static_cast<std::uint16_t>(n));
    else c.engine->SetLevel(word == "level2" ? 1 : 0, static_cast<std::uint8_t>(n));
  }
}

// Does the operations, then describes the panel in one line: "on STEP of COUNT | Add or Overwrite | the enabled
// controls | selector TOP@POS", the shown settings and the run where they differ from a new console's, then
// "= " channel 1 on screen " |" and channel 1 of the first five recorded steps.
inline std::string Panel(CConsole& c, const std::string& operations = "") {
  Do(c, operations);
  const CChasePanelState s = c.engine->PanelState();
  std::ostringstream text;
  text << "on " << +s.currentStep << " of " << +s.stepCount << (s.addOverwrites ? " | Overwrite |" : " | Add |");
  for (const auto& [on, name] : std::initializer_list<std::pair<bool, const char*>>{
           {s.addEnabled, "add"}, {s.insertEnabled, "insert"}, {s.deleteEnabled, "delete"}, {s.pasteEnabled, "paste"},
           {s.saveEnabled, "save"}, {s.runEnabled, "run"}, {s.selectorEnabled, "selector"}})
    if (on) text << ' ' << name;
  text << " | " << s.selectorTop << '@' << s.selectorPos;
  if (s.speedShown != 0 || s.fadeShown != 0) text << " | shown " << s.speedShown << ' ' << s.fadeShown;
  if (s.running) text << (s.followingSelector ? " | following" : " | running");
  text << " = " << +c.engine->Level(0) << " |";
  const CChaseFile chase = c.engine->Chase();
  for (std::size_t s = 0; s < std::min<std::size_t>(chase.StepCount(), 5); ++s) text << ' ' << +chase.Steps()[s][0];
  if (chase.StepCount() > 5) text << " ...";
  return text.str();
}

// Does the operations, then ticks n times: the ticks (from 1) on which the engine reported a step change.
inline std::vector<int> Moves(CConsole& c, int n, const std::string& operations = "") {
  Do(c, operations);
  std::vector<int> moves;
  for (int tick = 1, before = c.moves; tick <= n; ++tick, before = c.moves)
    if (Tick(c); c.moves != before) moves.push_back(tick);
  return moves;
}

// Does the operations, then ticks n times: channel `ch` of the page each tick sent.
inline std::vector<int> Sent(CConsole& c, int n, const std::string& operations = "", std::size_t ch = 0) {
  Do(c, operations);
  std::vector<int> levels;
  while (n-- > 0) levels.push_back(Tick(c)[ch]);
  return levels;
}

// A fresh folder for one test, removed with everything in it afterwards.
struct CScratchFolder : std::filesystem::path {
  inline static int s_count = 0;
  CScratchFolder() : path(std::filesystem::temp_directory_path() / ("vexmira-console-" + std::to_string(::getpid()) + "-" +
                                                                    std::to_string(s_count++))) {
    std::filesystem::create_directories(*this);
  }
  ~CScratchFolder() { std::error_code ignored; std::filesystem::remove_all(*this, ignored); }
  std::size_t Entries() const { return static_cast<std::size_t>(std::ranges::distance(std::filesystem::directory_iterator(*this))); }
};
