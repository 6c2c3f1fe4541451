// The waiting phase that holds the fixtures for five seconds before a tool sends frames of its own.
#pragma once
#include "link/DmxLink.h"

#include <functional>

// Frames with start code 0xFE and 512 zero slots, one per 25 ms tick, for 200 ticks; manual
// addressing and the fixture panel open with it. Construction hands a blank image over as the
// four transmit pages (the tools' own frames start blank too) and sets the waiting mode. On the
// last tick the tool's switch-over runs before that tick's start, so the 200th frame already
// goes out in the tool's own mode.
class CWaitingPhase final {
 public:
  static constexpr int kStartCode = 0xFE;
  static constexpr int kTicks = 200;
  static constexpr int kTickMs = 25;

  CWaitingPhase(CDmxLink& link, std::function<void()> switchOver);
  CWaitingPhase(const CWaitingPhase&) = delete;
  CWaitingPhase& operator=(const CWaitingPhase&) = delete;

  // While waiting: counts the tick and starts a frame (after the switch-over on the last tick)
  // and returns true. Afterwards the tick belongs to the tool: nothing is done, false returned.
  bool Tick();

  bool IsWaiting() const { return m_ticksMade < kTicks; }
  // The progress bar's position (range 0 to kTicks): 0 at the first tick, 199 at the last; it
  // never reaches its end before the bar is hidden.
  int Progress() const { return m_ticksMade > 0 ? m_ticksMade - 1 : 0; }

 private:
  CDmxLink& m_link;
  std::function<void()> m_switchOver;
  int m_ticksMade = 0;
};
