// The console's program-wide data: output frame, live page, chase store and playback.
#pragma once
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "console/ChaseFile.h"
#include "console/ChasePanelUpdate.h"
#include "console/ChasePlayer.h"
#include "console/ChaseStep.h"
#include "console/ChaseStore.h"

// Exists once in the program (Program()) and outlives every console dialog; tests make
// their own. Output frame indices 0 to 141 are the screen that the editor composes in
// and playback writes; the live page follows them tick by tick. No locking inside:
// the console serialises the GUI thread's calls and Tick() itself.
class CConsoleData final {
public:
  static constexpr std::size_t kChannelCount = 512;
  // Room for four whole transmit pages of 142 slots.
  static constexpr std::size_t kFrameBufferSize = 568;

  CConsoleData();
  CConsoleData(const CConsoleData&) = delete;
  CConsoleData& operator=(const CConsoleData&) = delete;

  static CConsoleData& Program();

  // A console opens: all 512 levels and the live page zero, fade table at rest, not
  // running, an empty chase. Kept: the slots, the clipboard, the speed and fade settings.
  void StartConsole();

  // The 568-byte buffer handed to the interface page by page; index i is channel i + 1.
  std::span<std::uint8_t, kFrameBufferSize> FrameBuffer() { return m_outputFrame; }
  std::span<const std::uint8_t, kFrameBufferSize> FrameBuffer() const { return m_outputFrame; }
  std::uint8_t Level(std::size_t index) const {
    assert(index < kChannelCount);
    return m_outputFrame[index];
  }
  void SetLevel(std::size_t index, std::uint8_t level) {
    assert(index < kChannelCount);
    m_outputFrame[index] = level;
  }
  // Output frame indices 0 to 141.
  std::span<std::uint8_t, kStepSize> Screen() { return Page0(); }
  std::span<const std::uint8_t, kStepSize> LivePage() const { return m_player.LivePage(); }

  CChaseStore& Store() { return m_store; }
  const CChaseStore& Store() const { return m_store; }
  CChasePlayer& Player() { return m_player; }
  const CChasePlayer& Player() const { return m_player; }

  // The console tick's work; true when the step number display must be updated.
  bool Tick() { return m_player.Tick(); }
  // The step number display's text for the current step: "%d" of current step + 1.
  std::string StepNumberText() const;

  // Button 1102.
  CChasePanelUpdate RunOrStop();
  // Step selector 1266: selects a step while stopped, jumps during a run.
  CChasePanelUpdate StepSelectorMoved(std::uint8_t pos);

  // The recorded chase with its speed and fade settings, as a chase file holds it.
  CChaseFile MakeChaseFile() const;
  // Puts a chase read from a file in place and enters the loaded state (not during a run).
  CChasePanelUpdate LoadChase(const CChaseFile& file);

private:
  std::span<std::uint8_t, kStepSize> Page0() {
    return std::span<std::uint8_t, kFrameBufferSize>(m_outputFrame).first<kStepSize>();
  }

  std::array<std::uint8_t, kFrameBufferSize> m_outputFrame{};
  CChaseStore m_store;
  CChasePlayer m_player;
};
