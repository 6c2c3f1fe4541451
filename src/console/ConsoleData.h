// The console's program-wide data: output frame, chase store and playback with its settings.
#pragma once
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>

#include "console/ChasePlayer.h"
#include "console/ChaseStep.h"
#include "console/ChaseStore.h"
#include "link/LineConstants.h"

// Exists once in the program (Program()) and outlives every console; tests make their
// own. Output frame indices 0 to 141 are the screen that the editor composes in and
// playback writes; the live page follows them tick by tick. No locking inside: the
// console engine serialises every use.
class CConsoleData final {
 public:
  static constexpr std::size_t kChannelCount = kUniverseSlots;

  CConsoleData();
  CConsoleData(const CConsoleData&) = delete;
  CConsoleData& operator=(const CConsoleData&) = delete;

  static CConsoleData& Program();

  // A console opens: all 512 levels and the live page zero, fade table at rest, not
  // running, an empty chase. Kept: the slots, the clipboard, the speed and fade settings.
  void StartConsole();

  // The frame image handed to the interface page by page; index i is channel i + 1.
  std::span<const std::uint8_t, kImageSize> FrameImage() const { return m_outputFrame; }
  std::uint8_t Level(std::size_t index) const {
    assert(index < kChannelCount);
    return m_outputFrame[index];
  }
  void SetLevel(std::size_t index, std::uint8_t level) {
    assert(index < kChannelCount);
    m_outputFrame[index] = level;
  }
  // Output frame indices 0 to 141.
  std::span<std::uint8_t, kStepSize> Screen() {
    return std::span<std::uint8_t, kImageSize>(m_outputFrame).first<kStepSize>();
  }

  CChaseStore& Store() { return m_store; }
  const CChaseStore& Store() const { return m_store; }
  CChasePlayer& Player() { return m_player; }
  const CChasePlayer& Player() const { return m_player; }

 private:
  std::array<std::uint8_t, kImageSize> m_outputFrame{};
  CChaseStore m_store;
  CChasePlayer m_player;
};
