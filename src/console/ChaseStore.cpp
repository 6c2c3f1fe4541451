// The chase store's editing operations.
#include "console/ChaseStore.h"

#include <algorithm>
#include <cassert>

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

std::uint8_t CChaseStore::Select(std::uint8_t pos) {
  ParkPendingLevels();
  // A position beyond the pending slot would leave a gap in the recorded steps.
  m_currentStep = std::min(pos, m_stepCount);
  ShowSlot(m_currentStep);
  return m_currentStep;
}

bool CChaseStore::AddOrOverwrite() {
  std::copy(m_screen.begin(), m_screen.end(), m_slots[m_currentStep].begin());
  if (m_currentStep < m_stepCount || m_stepCount == kMaxSteps) {
    return false;  // an Overwrite, or no room for another step
  }
  ++m_currentStep;
  ++m_stepCount;
  return true;
}

bool CChaseStore::Insert() {
  const std::size_t count = m_stepCount;
  const std::size_t current = m_currentStep;
  if (count == kMaxSteps) {
    return false;
  }
  assert(current <= count);
  // The recorded steps from the current one on and the pending slot move up by one.
  for (std::size_t s = count + 1; s > current; --s) {
    m_slots[s] = m_slots[s - 1];
  }
  m_slots[current].fill(0);
  std::fill(m_screen.begin(), m_screen.end(), std::uint8_t{0});
  ++m_stepCount;
  return true;
}

bool CChaseStore::Delete() {
  const std::size_t count = m_stepCount;
  const std::size_t current = m_currentStep;
  if (count == 0 || current >= count) {
    return false;
  }
  // The later recorded steps and the pending slot move down by one.
  for (std::size_t s = current; s < count; ++s) {
    m_slots[s] = m_slots[s + 1];
  }
  --m_stepCount;
  ShowSlot(m_currentStep);
  return true;
}

void CChaseStore::Copy() {
  std::copy(m_screen.begin(), m_screen.end(), m_clipboard.begin());
  m_clipboardValid = true;
}

void CChaseStore::Paste() { std::copy(m_clipboard.begin(), m_clipboard.end(), m_screen.begin()); }

void CChaseStore::Load(std::span<const CChaseStep> steps) {
  assert(steps.size() <= kMaxSteps);
  const std::size_t count = std::min<std::size_t>(steps.size(), kMaxSteps);
  std::copy_n(steps.begin(), count, m_slots.begin());
  m_stepCount = static_cast<std::uint8_t>(count);
  m_currentStep = 0;
  ShowSlot(0);
}
