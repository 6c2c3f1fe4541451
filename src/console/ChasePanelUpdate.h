// What a chase operation changes on the console's controls, for the dialog to apply.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Every member left empty means "leave that control as it is"; the chase engines
// decide what changes, the dialog only carries it out. Control ids are the console's.
struct CChasePanelUpdate {
  // The 32 faders, the channel scroll bar (1100), Stand Alone (1000) and Clean (1001).
  std::optional<bool> m_consoleEnabled;

  std::optional<std::string> m_addText;  // 1101: "Add" or "Overwrite"
  std::optional<bool> m_addEnabled;      // 1101
  std::optional<bool> m_insertEnabled;   // 1107
  std::optional<bool> m_deleteEnabled;   // 1002
  std::optional<bool> m_copyEnabled;     // 1003
  std::optional<bool> m_pasteEnabled;    // 1103
  std::optional<bool> m_openEnabled;     // 1106
  std::optional<bool> m_saveEnabled;     // 1108
  std::optional<bool> m_runEnabled;      // 1102
  std::optional<std::string> m_runText;  // 1102: "Run" or "Stop"

  // Step selector 1266: enabled state, range 0 to m_selectorUpper, position.
  std::optional<bool> m_selectorEnabled;
  std::optional<std::uint16_t> m_selectorUpper;
  std::optional<std::uint16_t> m_selectorPos;

  std::optional<std::string> m_stepCountText;   // 1277
  std::optional<std::string> m_stepNumberText;  // 1278

  std::optional<std::uint16_t> m_speedPos;   // slider 1105, set without counting as a move
  std::optional<std::string> m_speedText;    // 1279
  std::optional<bool> m_speedEnabled;        // 1105
  std::optional<std::uint16_t> m_fadePos;    // slider 1104, set without counting as a move
  std::optional<std::string> m_fadeText;     // 1280

  // Output frame indices 0 to 141 were replaced: show them on the fader columns.
  bool m_refreshFaders = false;
};
