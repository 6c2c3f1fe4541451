// The chase store and its step editor: recorded steps, pending slot, step clipboard.
#pragma once
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>

#include "console/ChaseStep.h"

// Slots 0 to step count - 1 hold the recorded steps; slot step count is the pending
// slot where a step not yet added is parked. The editor composes in the "screen",
// output frame indices 0 to 141, which the store is bound to for its whole life.
// Not for use while a chase runs: the player owns the current step then.
class CChaseStore final {
 public:
  static constexpr std::size_t kSlotCount = 256;
  static constexpr std::uint8_t kMaxSteps = 255;

  explicit CChaseStore(std::span<std::uint8_t, kStepSize> screen);
  CChaseStore(const CChaseStore&) = delete;
  CChaseStore& operator=(const CChaseStore&) = delete;

  std::uint8_t StepCount() const { return m_stepCount; }
  std::uint8_t CurrentStep() const { return m_currentStep; }
  bool IsOnPendingSlot() const { return m_currentStep == m_stepCount; }
  const CChaseStep& Slot(std::size_t slot) const {
    assert(slot < kSlotCount);
    return m_slots[slot];
  }
  bool IsClipboardValid() const { return m_clipboardValid; }

  // A new console starts with an empty chase; slots and clipboard keep their contents.
  void StartEmpty();

  // Step selector moved to pos (outside a run); returns the step now current, which is
  // pos held to the pending slot.
  std::uint8_t Select(std::uint8_t pos);
  // Add on the pending slot, Overwrite on a recorded step; true when a step was added.
  bool AddOrOverwrite();
  // An empty step before the current one, which the editor then shows; false when full.
  bool Insert();
  // Removes the current recorded step; false on the pending slot.
  bool Delete();
  void Copy();
  // The clipboard onto the screen; nothing is stored until Add or Overwrite.
  void Paste();

  // Puts a loaded chase in place (at most 255 steps) and shows its first step.
  void Load(std::span<const CChaseStep> steps);

  // Used by playback.
  void SetCurrentStep(std::uint8_t step) { m_currentStep = step; }
  void ShowSlot(std::uint8_t slot);
  // On the pending slot, keeps the levels on screen there so that they are not lost.
  void ParkPendingLevels();

 private:
  std::array<CChaseStep, kSlotCount> m_slots{};
  std::uint8_t m_stepCount = 0;
  std::uint8_t m_currentStep = 0;
  CChaseStep m_clipboard{};
  bool m_clipboardValid = false;
  std::span<std::uint8_t, kStepSize> m_screen;
};
