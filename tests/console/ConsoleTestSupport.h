// Helpers of the console's tests: chase steps, a console engine on a recording link, its ticks and its panel.
#pragma once

#include <map>
#include <numeric>
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

// A console opened as the launcher opens it, on new data or an earlier console's; `moves` counts step changes.
struct CConsole {
  explicit CConsole(std::unique_ptr<CConsoleData> earlier = std::make_unique<CConsoleData>())
      : data(std::move(earlier)) {
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

// Console operations as words: "level N" and "level2 N" (channels 1 and 2 on the faders), "select N", "speed N",
// "fade N", "add", "insert", "delete", "copy", "paste", "run" (Run or Stop), "clean", "standalone".
inline void Do(CConsole& c, const std::string& operations) {
  static const std::map<std::string, void (CConsoleEngine::*)()> kButtons = {
      {"add", &CConsoleEngine::AddOrOverwrite}, {"insert", &CConsoleEngine::Insert},
      {"delete", &CConsoleEngine::Delete},      {"copy", &CConsoleEngine::Copy},
      {"paste", &CConsoleEngine::Paste},        {"run", &CConsoleEngine::RunOrStop},
      {"clean", &CConsoleEngine::Clean},        {"standalone", &CConsoleEngine::ToggleStandAlone}};
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

// Does the operations, then tells the calls made since the last look, in readable form, a page call with the
// sum of its bytes: "SetPageValue(0)+0".
inline std::string TakeCalls(CConsole& c, const std::string& operations = "") {
  Do(c, operations);
  std::ostringstream text;
  for (const CLinkCall& call : c.link.Calls()) {
    text << (text.tellp() > 0 ? " " : "") << Describe(call);
    if (!call.page.empty()) text << '+' << std::accumulate(call.page.begin(), call.page.end(), 0);
  }
  c.link.ClearCalls();
  return text.str();
}

// One console tick, which must make one call, page 0 to the line: that page.
inline CChaseStep Tick(CConsole& c) {
  c.link.ClearCalls();
  c.engine->Tick();
  CChaseStep page{};
  const auto calls = c.link.Calls();
  if (!calls.empty() && calls[0].page.size() == kStepSize) std::copy_n(calls[0].page.begin(), kStepSize, page.begin());
  EXPECT_EQ(TakeCalls(c), "StartWithPageValue(0)+" + std::to_string(std::accumulate(page.begin(), page.end(), 0)));
  return page;
}

// Does the operations, then tells the panel: "on STEP of COUNT | Add or Overwrite | enabled controls | selector
// TOP@POS" (shown settings, run if any) "= " channel 1 on screen " |" channel 1 of the first five recorded steps.
inline std::string Panel(CConsole& c, const std::string& operations = "") {
  Do(c, operations);
  const CChasePanelState s = c.engine->PanelState();
  std::ostringstream text;
  text << "on " << +s.currentStep << " of " << +s.stepCount << (s.addOverwrites ? " | Overwrite |" : " | Add |");
  for (const auto& [on, name] : {std::pair{s.addEnabled, " add"}, {s.insertEnabled, " insert"},
                                 {s.deleteEnabled, " delete"}, {s.pasteEnabled, " paste"}, {s.saveEnabled, " save"},
                                 {s.runEnabled, " run"}, {s.selectorEnabled, " selector"}})
    text << (on ? name : "");
  text << " | " << s.selectorTop << '@' << s.selectorPos;
  if (s.speedShown != 0 || s.fadeShown != 0) text << " | shown " << s.speedShown << ' ' << s.fadeShown;
  if (s.running) text << (s.followingSelector ? " | following" : " | running");
  text << " = " << +c.engine->Level(0) << " |";
  const CChaseFile chase = c.engine->Chase();
  for (std::size_t i = 0; i < std::min<std::size_t>(chase.StepCount(), 5); ++i) text << ' ' << +chase.Steps()[i][0];
  if (chase.StepCount() > 5) text << " ...";
  return text.str();
}

// Does the operations, then ticks n times: the ticks (from 1) that reported a step change, or channel `ch` sent.
inline std::vector<int> Moves(CConsole& c, int n, const std::string& operations = "") {
  Do(c, operations);
  std::vector<int> moves;
  for (int tick = 1, before = c.moves; tick <= n; ++tick, before = c.moves)
    if (Tick(c); c.moves != before) moves.push_back(tick);
  return moves;
}
inline std::vector<int> Sent(CConsole& c, int n, const std::string& operations = "", std::size_t ch = 0) {
  Do(c, operations);
  std::vector<int> levels;
  while (n-- > 0) levels.push_back(Tick(c)[ch]);
  return levels;
}
