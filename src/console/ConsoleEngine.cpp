// The console engine: the fader bank's calls, the console tick and the chase panel's operations.
#include "console/ConsoleEngine.h"

#include <algorithm>
#include <cassert>
#include <vector>

namespace {

constexpr int kLevelStartCode = 0;

}  // namespace

CConsoleEngine::CConsoleEngine(CDmxLink& link, CConsoleData& data) : m_link(link), m_data(data) {
  std::lock_guard lock(m_mutex);
  m_data.StartConsole();
  // The speed and fade settings outlive the console: a new one shows those that play and are saved.
  m_panel.speedShown = m_data.Player().SpeedSetting();
  m_panel.fadeShown = m_data.Player().FadeSetting();
  HandOverFrameLocked();
}

void CConsoleEngine::HandOverFrameLocked() { HandOverPages(m_link, m_data.FrameImage().data()); }

void CConsoleEngine::Tick() {
  CChaseStep live;
  bool moved = false;
  {
    std::lock_guard lock(m_mutex);
    moved = m_data.Player().Tick();
    std::ranges::copy(m_data.Player().LivePage(), live.begin());
  }
  m_link.DmxLinkTransmitStartWithPageValue(0, live.data());
  if (moved && m_stepChanged) m_stepChanged();
}

// --- the fader bank ---

std::uint8_t CConsoleEngine::Level(int channel) const {
  std::lock_guard lock(m_mutex);
  return m_data.Level(static_cast<std::size_t>(channel));
}

void CConsoleEngine::SetLevel(int channel, std::uint8_t level) {
  {
    std::lock_guard lock(m_mutex);
    m_data.SetLevel(static_cast<std::size_t>(channel), level);
  }
  if (channel >= kFirstChannelCall) m_link.DmxLinkTransmitSetChannelValue(channel, level);
}

void CConsoleEngine::Clean() {
  std::lock_guard lock(m_mutex);
  for (std::size_t i = 0; i < CConsoleData::kChannelCount; ++i) m_data.SetLevel(i, 0);
  HandOverFrameLocked();
}

void CConsoleEngine::ToggleStandAlone() {
  m_standAlone = !m_standAlone;
  if (m_standAlone) {
    m_link.DmxLinkStandBy();
  } else {
    m_link.DmxLinkSetMode(kLinkMark, kLevelStartCode, 0, kUniverseSlots);
  }
}

bool CConsoleEngine::IsStandingAlone() const { return m_standAlone; }

// --- the chase panel ---

void CConsoleEngine::SetSelectorTopLocked(int top) { m_panel.selectorTop = static_cast<std::uint16_t>(top); }

void CConsoleEngine::MoveStepSelector(std::uint8_t pos) {
  std::lock_guard lock(m_mutex);
  if (m_data.Player().IsRunning()) {
    m_data.Player().Jump(pos);
    m_panel.selectorPos = std::min<std::uint16_t>(pos, m_panel.selectorTop);
  } else {
    SelectLocked(pos);
  }
}

void CConsoleEngine::SelectLocked(std::uint8_t pos) {
  const int step = m_data.Store().Select(pos);
  const int count = m_data.Store().StepCount();
  m_panel.selectorPos = static_cast<std::uint16_t>(step);
  if (step == count) {
    m_panel.addOverwrites = false;
    m_panel.insertEnabled = false;
    m_panel.deleteEnabled = false;
    return;
  }
  // Only the last recorded step changes the add button and Insert; any recorded step offers Delete.
  if (step == count - 1) {
    m_panel.addOverwrites = true;
    m_panel.insertEnabled = true;
  }
  m_panel.deleteEnabled = true;
}

void CConsoleEngine::AddOrOverwrite() {
  std::lock_guard lock(m_mutex);
  CChaseStore& store = m_data.Store();
  if (m_data.Player().IsRunning()) return;
  m_changed = true;
  if (!store.AddOrOverwrite()) return;  // an Overwrite, or no room for another step
  const int count = store.StepCount();
  if (count == CChaseStore::kMaxSteps) {
    m_panel.addEnabled = false;
  } else if (count == 1) {
    m_panel.saveEnabled = true;
    m_panel.runEnabled = true;
  }
  SetSelectorTopLocked(count);
  m_panel.selectorPos = store.CurrentStep();
  if (count == 1) m_panel.selectorEnabled = true;
}

void CConsoleEngine::Insert() {
  std::lock_guard lock(m_mutex);
  CChaseStore& store = m_data.Store();
  if (m_data.Player().IsRunning() || !store.Insert()) return;
  m_changed = true;
  if (store.StepCount() == CChaseStore::kMaxSteps) m_panel.insertEnabled = false;
  SetSelectorTopLocked(store.StepCount());
}

void CConsoleEngine::Delete() {
  std::lock_guard lock(m_mutex);
  CChaseStore& store = m_data.Store();
  const bool wasFull = store.StepCount() == CChaseStore::kMaxSteps;
  if (m_data.Player().IsRunning() || !store.Delete()) return;
  m_changed = true;
  // A full store disabled Add; with room again, steps can be added (or overwritten) at once
  // instead of only after a run's Stop.
  if (wasFull) m_panel.addEnabled = true;
  if (store.StepCount() == 0) {
    m_panel.deleteEnabled = false;
    m_panel.selectorEnabled = false;
    m_panel.saveEnabled = false;
    m_panel.runEnabled = false;
  } else {
    SetSelectorTopLocked(store.StepCount());
  }
  if (store.IsOnPendingSlot()) {  // the deleted step was the last one
    m_panel.deleteEnabled = false;
    m_panel.addOverwrites = false;
  }
}

void CConsoleEngine::Copy() {
  std::lock_guard lock(m_mutex);
  if (m_data.Player().IsRunning()) return;
  m_data.Store().Copy();
  m_panel.pasteEnabled = true;
}

void CConsoleEngine::Paste() {
  std::lock_guard lock(m_mutex);
  if (!m_data.Player().IsRunning()) m_data.Store().Paste();
}

void CConsoleEngine::RunOrStop() {
  std::lock_guard lock(m_mutex);
  if (m_data.Player().IsRunning()) {
    StopLocked();
  } else {
    RunLocked();
  }
}

void CConsoleEngine::RunLocked() {
  m_data.Player().Run();
  m_panel.addEnabled = false;
  m_panel.insertEnabled = false;
  m_panel.deleteEnabled = false;
  m_panel.pasteEnabled = false;
  m_panel.saveEnabled = false;
  // The pending slot cannot be chosen during a run. An empty chase plays slot 0, so its
  // selector offers that one position rather than a range that wraps around.
  const int count = m_data.Store().StepCount();
  SetSelectorTopLocked(count == 0 ? 0 : count - 1);
}

// The editor then stands on the step that was playing.
void CConsoleEngine::StopLocked() {
  m_data.Player().Stop();
  m_panel.addEnabled = true;
  m_panel.insertEnabled = true;
  m_panel.deleteEnabled = true;
  if (m_data.Store().IsClipboardValid()) m_panel.pasteEnabled = true;
  m_panel.saveEnabled = true;
  m_panel.addOverwrites = true;
  SetSelectorTopLocked(m_data.Store().StepCount());
}

void CConsoleEngine::SetSpeed(std::uint16_t speedSetting) {
  std::lock_guard lock(m_mutex);
  if (speedSetting != m_data.Player().SpeedSetting()) m_changed = true;
  m_data.Player().SetSpeed(speedSetting);
  m_panel.speedShown = speedSetting;
}

void CConsoleEngine::SetFade(std::uint16_t fadeSetting) {
  std::lock_guard lock(m_mutex);
  if (fadeSetting != m_data.Player().FadeSetting()) m_changed = true;
  m_data.Player().SetFade(fadeSetting);
  m_panel.fadeShown = fadeSetting;
}

CChaseFile CConsoleEngine::Chase() const {
  std::lock_guard lock(m_mutex);
  const CChaseStore& store = m_data.Store();
  std::vector<CChaseStep> steps(store.StepCount());
  for (std::size_t s = 0; s < steps.size(); ++s) steps[s] = store.Slot(s);
  return CChaseFile(m_data.Player().SpeedSetting(), m_data.Player().FadeSetting(), std::move(steps));
}

// The add button's enabled state and the selector's position stay as they were.
bool CConsoleEngine::LoadChase(const CChaseFile& file) {
  std::lock_guard lock(m_mutex);
  if (m_data.Player().IsRunning()) return false;
  m_data.Store().Load(file.Steps());
  m_data.Player().LoadSettings(file.SpeedSetting(), file.FadeSetting());
  SetSelectorTopLocked(m_data.Store().StepCount());
  m_panel.selectorEnabled = true;
  m_panel.saveEnabled = true;
  m_panel.deleteEnabled = true;
  m_panel.insertEnabled = true;
  m_panel.runEnabled = true;
  m_panel.addOverwrites = true;
  m_panel.speedShown = file.SpeedSetting();
  m_panel.fadeShown = file.FadeSetting();
  m_changed = false;
  return true;
}

bool CConsoleEngine::HasUnsavedChanges() const {
  std::lock_guard lock(m_mutex);
  return m_changed && m_data.Store().StepCount() > 0;
}

void CConsoleEngine::MarkSaved() {
  std::lock_guard lock(m_mutex);
  m_changed = false;
}

CChasePanelState CConsoleEngine::PanelState() const {
  std::lock_guard lock(m_mutex);
  CChasePanelState state = m_panel;
  state.stepCount = m_data.Store().StepCount();
  state.currentStep = m_data.Store().CurrentStep();
  state.running = m_data.Player().IsRunning();
  state.followingSelector = m_data.Player().IsFollowingSelector();
  return state;
}
