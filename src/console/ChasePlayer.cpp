// Chase playback: Run, Stop, jumps, the sliders and the console tick.
#include "console/ChasePlayer.h"

#include <algorithm>
#include <string>

#include "console/TimeLabel.h"

std::string CChasePlayer::SpeedText(std::uint16_t speedSetting) {
  return FormatTenths(static_cast<std::uint32_t>(speedSetting) + 1);
}

std::string CChasePlayer::FadeText(std::uint16_t fadeSetting) { return FormatTenths(fadeSetting); }

CChasePlayer::CChasePlayer(CChaseStore& store, std::span<std::uint8_t, kStepSize> screen)
    : m_store(store), m_screen(screen) {}

void CChasePlayer::StartConsole() {
  m_livePage.fill(0);
  m_fadeTable.SetAtRest();
  m_running = false;
}

CChasePanelUpdate CChasePlayer::Run() {
  CChasePanelUpdate update;
  if (m_running) {
    return update;
  }
  // Levels composed on the pending slot stay there for when the editor comes back.
  m_store.ParkPendingLevels();
  m_store.ShowSlot(0);
  std::copy(m_screen.begin(), m_screen.end(), m_livePage.begin());
  m_holdCounter = kFirstHold;
  m_fadeTable.SetAtRest();
  m_store.SetCurrentStep(0);
  m_fromStep = 0;

  update.m_stepNumberText = std::to_string(m_store.CurrentStep() + 1);
  update.m_runText = "Stop";
  update.m_consoleEnabled = false;
  update.m_deleteEnabled = false;
  update.m_copyEnabled = false;
  update.m_addEnabled = false;
  update.m_pasteEnabled = false;
  update.m_insertEnabled = false;
  update.m_openEnabled = false;
  update.m_saveEnabled = false;
  // The pending slot cannot be chosen during a run. An empty chase plays slot 0, so
  // its selector offers that one position rather than a range that wraps around.
  const std::uint8_t count = m_store.StepCount();
  update.m_selectorUpper = static_cast<std::uint16_t>(count == 0 ? 0 : count - 1);

  m_jumpRequest = false;
  m_running = true;
  return update;
}

CChasePanelUpdate CChasePlayer::Stop() {
  CChasePanelUpdate update;
  if (!m_running) {
    return update;
  }
  m_running = false;
  m_fadeTable.SetAtRest();
  update.m_runText = "Run";
  update.m_consoleEnabled = true;
  update.m_deleteEnabled = true;
  update.m_copyEnabled = true;
  update.m_addEnabled = true;
  if (m_store.IsClipboardValid()) {
    update.m_pasteEnabled = true;
  }
  update.m_insertEnabled = true;
  update.m_openEnabled = true;
  update.m_saveEnabled = true;
  update.m_speedEnabled = true;
  update.m_selectorUpper = m_store.StepCount();
  update.m_addText = "Overwrite";
  update.m_refreshFaders = true;
  return update;
}

CChasePanelUpdate CChasePlayer::Jump(std::uint8_t target) {
  CChasePanelUpdate update;
  if (!m_running) {
    return update;
  }
  // Only recorded steps can be played (slot 0 for an empty chase); a target beyond
  // would leave the editor past the pending slot after Stop.
  const std::uint8_t count = m_store.StepCount();
  const std::uint8_t last = count == 0 ? 0 : static_cast<std::uint8_t>(count - 1);
  m_jumpTarget = std::min(target, last);
  m_jumpRequest = true;
  update.m_speedEnabled = false;
  return update;
}

CChasePanelUpdate CChasePlayer::SetSpeed(std::uint16_t speedSetting) {
  CChasePanelUpdate update;
  m_speedSetting = speedSetting;
  update.m_speedText = SpeedText(m_speedSetting);
  return update;
}

CChasePanelUpdate CChasePlayer::SetFade(std::uint16_t fadeSetting) {
  CChasePanelUpdate update;
  m_fadeSetting = fadeSetting;
  update.m_fadeText = FadeText(m_fadeSetting);
  m_fadeRecompute = true;
  return update;
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
