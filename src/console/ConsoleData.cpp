// The console's program-wide data.
#include "console/ConsoleData.h"

CConsoleData::CConsoleData() : m_store(Screen()), m_player(m_store, Screen()) {}

CConsoleData& CConsoleData::Program() {
  static CConsoleData data;
  return data;
}

void CConsoleData::StartConsole() {
  m_outputFrame.fill(0);
  m_player.StartConsole();
  m_store.StartEmpty();
}
