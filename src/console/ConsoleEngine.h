// The DMX console's engine: the fader bank's output, the console tick, the chase editor and playback.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>

#include "console/ChaseFile.h"
#include "console/ChasePanelState.h"
#include "console/ConsoleData.h"
#include "link/DmxLink.h"

// One console's opening on the program-wide data. Channels 1 to 142 reach the line as page 0
// of every console tick, through the live page; the later ones by a channel call at the moment
// they change. The chase panel's operations act on the data and keep the editing states that
// PanelState() reports.
//
// Threads: Tick() runs on the periodic timer's thread, everything else on the GUI thread; one
// mutex guards the data and the states. The step-changed handler runs on the tick's thread.
class CConsoleEngine final {
 public:
  // Channels from here on are not in page 0: they go out by a channel call.
  static constexpr int kFirstChannelCall = kPageSize;

  // A new console: all 512 levels zero, handed to the link as its four pages.
  explicit CConsoleEngine(CDmxLink& link, CConsoleData& data = CConsoleData::Program());
  CConsoleEngine(const CConsoleEngine&) = delete;
  CConsoleEngine& operator=(const CConsoleEngine&) = delete;

  // Called on the tick's thread whenever a run moves to a step; set it before the tick starts.
  void OnStepChanged(std::function<void()> handler) { m_stepChanged = std::move(handler); }

  // The console tick: the run step, the live page's crossfade toward channels 1 to 142, then
  // page 0 to the line.
  void Tick();

  // The fader bank; channels count from 0.
  std::uint8_t Level(int channel) const;
  void SetLevel(int channel, std::uint8_t level);
  // All 512 levels to zero, handed over again as four pages.
  void Clean();
  // Stand-by, or back to level frames of 512 slots; the tick goes on either way.
  void ToggleStandAlone();
  bool IsStandingAlone() const;

  // The chase panel. The step selector selects a step while stopped and jumps during a run;
  // the editing operations do nothing during a run.
  void MoveStepSelector(std::uint8_t pos);
  void AddOrOverwrite();
  void Insert();
  void Delete();
  void Copy();
  void Paste();
  void RunOrStop();
  void SetSpeed(std::uint16_t speedSetting);
  void SetFade(std::uint16_t fadeSetting);

  // The recorded chase with its settings, as a chase file holds it.
  CChaseFile Chase() const;
  // Puts a chase in place and stands on its first step; refused (false) during a run.
  bool LoadChase(const CChaseFile& file);
  // Whether closing would lose work: recorded steps, or the speed and fade settings a chase file
  // keeps with them, changed since the chase was last saved or loaded (or never saved). An empty
  // chase has nothing to lose.
  bool HasUnsavedChanges() const;
  // The chase as it stands has been written to a file.
  void MarkSaved();

  CChasePanelState PanelState() const;

 private:
  void HandOverFrameLocked();
  // The selector's range. Its position stays where it is, even beyond the range (after Run, the
  // pending slot's position stays until the selector is moved), as the up-down control's does.
  void SetSelectorTopLocked(int top);
  void SelectLocked(std::uint8_t pos);
  void RunLocked();
  void StopLocked();

  CDmxLink& m_link;
  CConsoleData& m_data;
  mutable std::mutex m_mutex;
  // The states the operations leave; the chase's own numbers are filled in by PanelState().
  CChasePanelState m_panel;
  bool m_standAlone = false;
  bool m_changed = false;  // since the last save or load
  std::function<void()> m_stepChanged;
};
