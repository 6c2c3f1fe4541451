// The chase store and its step editor: recorded steps, pending slot, step clipboard.
#pragma once
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>

#include "console/ChasePanelUpdate.h"
#include "console/ChaseStep.h"

// Slots 0 to step count - 1 hold the recorded steps; slot step count is the pending
// slot where a step not yet added is parked. The editor composes in the "screen",
// output frame indices 0 to 141, which the store is bound to for its whole life.
// Each editing operation returns what it changes on the chase panel.
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

  // Step selector moved to pos (outside a run).
  CChasePanelUpdate Select(std::uint8_t pos);
  // Add on the pending slot, Overwrite on a recorded step.
  CChasePanelUpdate AddOrOverwrite();
  // An empty step before the current one; the editor then shows it.
  CChasePanelUpdate Insert();
  // Removes the current recorded step.
  CChasePanelUpdate Delete();
  CChasePanelUpdate Copy();
  // The clipboard onto the screen; nothing is stored until Add or Overwrite.
  CChasePanelUpdate Paste();

  // Puts a loaded chase in place: steps.size() (at most 255) becomes the step count.
  void ReplaceSteps(std::span<const CChaseStep> steps);
  // The editor's side of the loaded state: on step 1 of the loaded chase.
  CChasePanelUpdate EnterLoadedState();

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
