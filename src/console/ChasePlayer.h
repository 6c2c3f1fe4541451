// Chase playback: the run state, the hold counter and the console tick's work.
#pragma once
#include <cstdint>
#include <span>

#include "console/ChaseStep.h"
#include "console/ChaseStore.h"
#include "console/FadeTable.h"

// Plays the chase store on the live page, the 142 levels sent as transmit page 0.
// Tick() is the console tick's work, run or not: the run step (hold counting, step
// advance or jump, fade table rebuild) and then the crossfade of the live page toward
// output frame indices 0 to 141 (the screen). Outside a run the fade table is at rest,
// so the live page takes the screen's levels in one tick.
// Single-threaded: the caller serialises Tick() with the other calls.
class CChasePlayer final {
 public:
  // Ticks before the first advance of a run when the hold length allows it.
  static constexpr std::uint16_t kFirstHold = 280;

  // Hold length in ticks for a speed setting: each step shows for this many ticks + 1,
  // 4 x (speed setting + 1) ticks of 25 ms, modulo 65536.
  static constexpr std::uint16_t HoldLength(std::uint16_t speedSetting) {
    return static_cast<std::uint16_t>(4u * speedSetting + 4u);
  }

  CChasePlayer(CChaseStore& store, std::span<std::uint8_t, kStepSize> screen);
  CChasePlayer(const CChasePlayer&) = delete;
  CChasePlayer& operator=(const CChasePlayer&) = delete;

  // A new console: live page zero, fade table at rest, stopped. Settings are kept.
  void StartConsole();

  bool IsRunning() const { return m_running; }
  // A run starts on step 1 with no fade; levels composed on the pending slot are parked there
  // first, unless no step is recorded: an empty chase plays slot 0 as stored.
  void Run();
  // The live page takes the current step's levels at the next tick.
  void Stop();
  // Step selector moved during a run: follow it from now on instead of advancing.
  void Jump(std::uint8_t target);
  // A run that follows the selector rather than advancing by itself.
  bool IsFollowingSelector() const { return m_running && m_jumpRequest; }

  // Slider moves.
  void SetSpeed(std::uint16_t speedSetting);
  void SetFade(std::uint16_t fadeSetting);
  // Settings taken from a chase file; not a slider move, so no fade rebuild is asked for.
  void LoadSettings(std::uint16_t speedSetting, std::uint16_t fadeSetting);

  // One console tick. True when the run moved to a step (the same one, in a chase of
  // one step): the step number display must then show the store's current step + 1.
  bool Tick();

  std::uint16_t SpeedSetting() const { return m_speedSetting; }
  std::uint16_t FadeSetting() const { return m_fadeSetting; }
  std::span<const std::uint8_t, kStepSize> LivePage() const { return m_livePage; }

 private:
  bool RunStep();

  CChaseStore& m_store;
  std::span<std::uint8_t, kStepSize> m_screen;
  CChaseStep m_livePage{};
  CFadeTable m_fadeTable;

  bool m_running = false;
  std::uint16_t m_holdCounter = 0;
  std::uint16_t m_speedSetting = 0;
  std::uint16_t m_fadeSetting = 0;
  bool m_jumpRequest = false;
  std::uint8_t m_jumpTarget = 0;
  std::uint8_t m_fromStep = 0;
  bool m_fadeRecompute = false;
};
