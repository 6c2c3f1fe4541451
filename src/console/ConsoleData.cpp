// The console's program-wide data and the operations that span editor and playback.
#include "console/ConsoleData.h"

#include <cassert>
#include <vector>

CConsoleData::CConsoleData() : m_store(Page0()), m_player(m_store, Page0()) {}

CConsoleData& CConsoleData::Program() {
  static CConsoleData data;
  return data;
}

void CConsoleData::StartConsole() {
  m_outputFrame.fill(0);
  m_player.StartConsole();
  m_store.StartEmpty();
}

std::string CConsoleData::StepNumberText() const {
  return std::to_string(m_store.CurrentStep() + 1);
}

CChasePanelUpdate CConsoleData::RunOrStop() {
  return m_player.IsRunning() ? m_player.Stop() : m_player.Run();
}

CChasePanelUpdate CConsoleData::StepSelectorMoved(std::uint8_t pos) {
  return m_player.IsRunning() ? m_player.Jump(pos) : m_store.Select(pos);
}

CChaseFile CConsoleData::MakeChaseFile() const {
  std::vector<CChaseStep> steps(m_store.StepCount());
  for (std::size_t s = 0; s < steps.size(); ++s) {
    steps[s] = m_store.Slot(s);
  }
  return CChaseFile(m_player.SpeedSetting(), m_player.FadeSetting(), std::move(steps));
}

CChasePanelUpdate CConsoleData::LoadChase(const CChaseFile& file) {
  assert(!m_player.IsRunning());
  m_store.ReplaceSteps(file.Steps());
  m_player.LoadSettings(file.SpeedSetting(), file.FadeSetting());
  CChasePanelUpdate update = m_store.EnterLoadedState();
  update.m_speedText = CChasePlayer::SpeedText(file.SpeedSetting());
  update.m_speedPos = file.SpeedSetting();
  update.m_fadeText = CChasePlayer::FadeText(file.FadeSetting());
  update.m_fadePos = file.FadeSetting();
  return update;
}
