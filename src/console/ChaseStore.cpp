// The chase store's editing operations.
#include "console/ChaseStore.h"

#include <algorithm>
#include <cassert>

namespace {

std::string Number(int value) { return std::to_string(value); }

}  // namespace

CChaseStore::CChaseStore(std::span<std::uint8_t, kStepSize> screen) : m_screen(screen) {}

void CChaseStore::StartEmpty() {
  m_stepCount = 0;
  m_currentStep = 0;
}

void CChaseStore::ShowSlot(std::uint8_t slot) {
  std::copy(m_slots[slot].begin(), m_slots[slot].end(), m_screen.begin());
}

void CChaseStore::ParkPendingLevels() {
  if (IsOnPendingSlot()) {
    std::copy(m_screen.begin(), m_screen.end(), m_slots[m_stepCount].begin());
  }
}

CChasePanelUpdate CChaseStore::Select(std::uint8_t pos) {
  CChasePanelUpdate update;
  ParkPendingLevels();
  // The selector's range keeps pos within the steps and the pending slot; a position
  // beyond would leave a gap in the recorded steps, so it is held at the pending slot.
  if (pos > m_stepCount) {
    pos = m_stepCount;
    update.m_selectorPos = pos;
  }
  m_currentStep = pos;
  update.m_stepNumberText = Number(m_currentStep + 1);
  ShowSlot(pos);
  update.m_refreshFaders = true;
  if (pos == m_stepCount) {
    update.m_addText = "Add";
    update.m_insertEnabled = false;
    update.m_deleteEnabled = false;
  } else {
    if (pos == m_stepCount - 1) {
      update.m_addText = "Overwrite";
      update.m_insertEnabled = true;
    }
    update.m_deleteEnabled = true;
  }
  return update;
}

CChasePanelUpdate CChaseStore::AddOrOverwrite() {
  CChasePanelUpdate update;
  std::copy(m_screen.begin(), m_screen.end(), m_slots[m_currentStep].begin());
  if (m_currentStep < m_stepCount || m_stepCount == kMaxSteps) {
    return update;  // an Overwrite, or no room for another step
  }
  ++m_currentStep;
  update.m_stepNumberText = Number(m_currentStep + 1);
  ++m_stepCount;
  if (m_stepCount == kMaxSteps) {
    update.m_addEnabled = false;
  } else if (m_stepCount == 1) {
    update.m_saveEnabled = true;
    update.m_runEnabled = true;
  }
  update.m_stepCountText = Number(m_stepCount);
  update.m_selectorUpper = m_stepCount;
  update.m_selectorPos = m_currentStep;
  if (m_stepCount == 1) {
    update.m_selectorEnabled = true;
  }
  return update;
}

CChasePanelUpdate CChaseStore::Insert() {
  CChasePanelUpdate update;
  const std::size_t count = m_stepCount;
  const std::size_t current = m_currentStep;
  if (count == kMaxSteps) {
    return update;
  }
  assert(current <= count);
  // The recorded steps from the current one on and the pending slot move up by one.
  for (std::size_t s = count + 1; s > current; --s) {
    m_slots[s] = m_slots[s - 1];
  }
  m_slots[current].fill(0);
  std::fill(m_screen.begin(), m_screen.end(), std::uint8_t{0});
  update.m_refreshFaders = true;
  ++m_stepCount;
  if (m_stepCount == kMaxSteps) {
    update.m_insertEnabled = false;
  }
  update.m_selectorUpper = m_stepCount;
  update.m_stepCountText = Number(m_stepCount);
  return update;
}

CChasePanelUpdate CChaseStore::Delete() {
  CChasePanelUpdate update;
  const std::size_t count = m_stepCount;
  const std::size_t current = m_currentStep;
  if (count == 0 || current >= count) {
    return update;
  }
  // The later recorded steps and the pending slot move down by one.
  for (std::size_t s = current; s < count; ++s) {
    m_slots[s] = m_slots[s + 1];
  }
  --m_stepCount;
  // A full store disabled Add; with room again, steps can be added (or overwritten) at once
  // instead of only after a run's Stop.
  if (count == kMaxSteps) {
    update.m_addEnabled = true;
  }
  if (m_stepCount == 0) {
    update.m_deleteEnabled = false;
    update.m_selectorEnabled = false;
    update.m_saveEnabled = false;
    update.m_runEnabled = false;
  } else {
    update.m_selectorUpper = m_stepCount;
  }
  update.m_stepCountText = Number(m_stepCount);
  if (m_stepCount == m_currentStep) {
    update.m_deleteEnabled = false;
    update.m_addText = "Add";
  }
  ShowSlot(m_currentStep);
  update.m_refreshFaders = true;
  return update;
}

CChasePanelUpdate CChaseStore::Copy() {
  CChasePanelUpdate update;
  std::copy(m_screen.begin(), m_screen.end(), m_clipboard.begin());
  m_clipboardValid = true;
  update.m_pasteEnabled = true;
  return update;
}

CChasePanelUpdate CChaseStore::Paste() {
  CChasePanelUpdate update;
  std::copy(m_clipboard.begin(), m_clipboard.end(), m_screen.begin());
  update.m_refreshFaders = true;
  return update;
}

void CChaseStore::ReplaceSteps(std::span<const CChaseStep> steps) {
  assert(steps.size() <= kMaxSteps);
  const std::size_t count = std::min<std::size_t>(steps.size(), kMaxSteps);
  std::copy_n(steps.begin(), count, m_slots.begin());
  m_stepCount = static_cast<std::uint8_t>(count);
}

CChasePanelUpdate CChaseStore::EnterLoadedState() {
  CChasePanelUpdate update;
  update.m_stepCountText = Number(m_stepCount);
  update.m_selectorUpper = m_stepCount;
  update.m_selectorEnabled = true;
  m_currentStep = 0;
  ShowSlot(0);
  update.m_refreshFaders = true;
  update.m_stepNumberText = Number(m_currentStep + 1);
  update.m_saveEnabled = true;
  update.m_deleteEnabled = true;
  update.m_insertEnabled = true;
  update.m_runEnabled = true;
  update.m_addText = "Overwrite";
  return update;
}
