// Chase playback: Run, Stop, jumps, the sliders and the console tick.
#include "console/ChasePlayer.h"

#include <algorithm>

CChasePlayer::CChasePlayer(CChaseStore& store, std::span<std::uint8_t, kStepSize> screen)
    : m_store(store), m_screen(screen) {}

void CChasePlayer::StartConsole() {
  m_livePage.fill(0);
  m_fadeTable.SetAtRest();
  m_running = false;
}

void CChasePlayer::Run() {
  if (m_running) {
    return;
  }
  // Levels composed on the pending slot stay there for when the editor comes back. With no step
  // recorded, slot 0 is the pending slot and the chase plays it as stored, so nothing is parked.
  if (m_store.StepCount() > 0) m_store.ParkPendingLevels();
  m_store.ShowSlot(0);
  std::copy(m_screen.begin(), m_screen.end(), m_livePage.begin());
  m_holdCounter = kFirstHold;
  m_fadeTable.SetAtRest();
  m_store.SetCurrentStep(0);
  m_fromStep = 0;
  m_jumpRequest = false;
  // Last, once the run state is in place.
  m_running = true;
}

void CChasePlayer::Stop() {
  m_running = false;
  m_fadeTable.SetAtRest();
}

void CChasePlayer::Jump(std::uint8_t target) {
  if (!m_running) {
    return;
  }
  // Only recorded steps can be played (slot 0 for an empty chase); a target beyond
  // would leave the editor past the pending slot after Stop.
  const std::uint8_t count = m_store.StepCount();
  const std::uint8_t last = count == 0 ? 0 : static_cast<std::uint8_t>(count - 1);
  m_jumpTarget = std::min(target, last);
  m_jumpRequest = true;
}

void CChasePlayer::SetSpeed(std::uint16_t speedSetting) { m_speedSetting = speedSetting; }

void CChasePlayer::SetFade(std::uint16_t fadeSetting) {
  m_fadeSetting = fadeSetting;
  m_fadeRecompute = true;
}

void CChasePlayer::LoadSettings(std::uint16_t speedSetting, std::uint16_t fadeSetting) {
  m_speedSetting = speedSetting;
  m_fadeSetting = fadeSetting;
}

bool CChasePlayer::RunStep() {
  bool moved = false;
  const std::uint8_t current = m_store.CurrentStep();
  if (m_jumpRequest) {
    if (current != m_jumpTarget) {
      m_fromStep = current;
      m_store.SetCurrentStep(m_jumpTarget);
      m_store.ShowSlot(m_jumpTarget);
      m_fadeRecompute = true;
      moved = true;
    }
  } else {
    const std::uint16_t hold = HoldLength(m_speedSetting);
    if (m_holdCounter == 0) {
      m_holdCounter = hold;
      m_fromStep = current;
      const int next = current + 1;
      const auto step = static_cast<std::uint8_t>(next < m_store.StepCount() ? next : 0);
      m_store.SetCurrentStep(step);
      m_store.ShowSlot(step);
      m_fadeRecompute = true;
      moved = true;
    } else {
      --m_holdCounter;
      // A lowered speed shortens the step under way at once.
      m_holdCounter = std::min(m_holdCounter, hold);
    }
  }
  if (m_fadeRecompute) {
    m_fadeTable.Build(m_store.Slot(m_fromStep), m_store.Slot(m_store.CurrentStep()),
                      CFadeTable::FadeLength(m_fadeSetting));
    m_fadeRecompute = false;
  }
  return moved;
}

bool CChasePlayer::Tick() {
  const bool moved = m_running && RunStep();
  m_fadeTable.Crossfade(m_livePage, m_screen);
  return moved;
}
