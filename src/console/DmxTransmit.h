// The DMX console: 32 faders over the 512 channels, the console tick, and the chase panel.
#pragma once
#include "console/ChasePanelUpdate.h"
#include "console/ConsoleData.h"
#include "framework/Dialog.h"
#include "link/DmxLink.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// The console shows 32 consecutive channels of the output frame on faders; scroll bar 1100
// picks the first of them (the channel base). Channels 1 to 142 reach the line as page 0 of
// every console tick, a 25 ms periodic timer running on a thread of its own; the others go out
// by a channel call at the moment a fader moves. The same window carries the chase panel
// (editor, playback, chase files), hidden until its system menu item shows it.
//
// Threads: the tick and the GUI thread share the console data; one mutex guards it. The tick
// never touches a control: it posts the step number display to the GUI thread.
class CDmxTransmit final : public CDialog {
 public:
  static constexpr int kResourceId = 129;
  static constexpr const char* kTitle = "DMX Console V2.0";
  static constexpr const char* kFileTitlePrefix = "DMX Console V1.1 - ";
  static constexpr int kTickMs = 25;
  static constexpr int kColumns = 32;
  static constexpr int kLastBase = 480;  // channels 481 to 512 on the last bank
  // Page 0 (indices 0 to 141) goes out with the tick; later channels by a channel call.
  static constexpr int kFirstChannelCall = 142;
  static constexpr int kChasePanelCommand = 32;  // the system menu item that shows the panel

  // Control ids.
  static constexpr int kStandAloneButton = 1000;
  static constexpr int kCleanButton = 1001;
  static constexpr int kChannelBar = 1100;
  static constexpr int kAddButton = 1101;
  static constexpr int kInsertButton = 1107;
  static constexpr int kRunButton = 1102;
  static constexpr int kOpenButton = 1106;
  static constexpr int kDeleteButton = 1002;
  static constexpr int kCopyButton = 1003;
  static constexpr int kPasteButton = 1103;
  static constexpr int kSaveButton = 1108;
  static constexpr int kStepCountDisplay = 1277;
  static constexpr int kStepNumberDisplay = 1278;
  static constexpr int kStepSelector = 1266;
  static constexpr int kSpeedSlider = 1105;
  static constexpr int kSpeedDisplay = 1279;
  static constexpr int kFadeSlider = 1104;
  static constexpr int kFadeDisplay = 1280;
  static constexpr int kSpeedTop = 5999;
  static constexpr int kFadeTop = 6000;

  static constexpr int FaderId(int column) { return 1004 + 3 * column; }
  static constexpr int ValueBoxId(int column) { return 1005 + 3 * column; }
  static constexpr int LabelId(int column) { return 1006 + 3 * column; }

  static const CDialogTemplate& Layout();
  static const char* ChaseFileFilter();

  // A new console: all 512 levels zero and handed to the interface as four pages.
  explicit CDmxTransmit(CDmxLink& link, CConsoleData& data = CConsoleData::Program());
  ~CDmxTransmit() override;
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

  // The console tick's work: the live page's step, then page 0 to the line. Runs on the
  // periodic timer's thread; public so that tests can drive it from a thread of their own.
  void ConsoleTick();

  // Whether the chase panel's controls are shown.
  bool IsChasePanelShown() const;

 private:
  using CColumnLevels = std::array<std::uint8_t, kColumns>;

  void OnVScroll(int id, int code, int pos);
  void OnHScroll(int id, int code, int pos);
  void OnStandAlone();
  void OnClean();
  void OnAdd();
  void OnInsert();
  void OnDelete();
  void OnCopy();
  void OnPaste();
  void OnRunStop();
  void OnSave();
  void OnOpen();
  void OnSysCommand(int command);
  void OnDestroy();

  void OnFaderMoved(int column);
  void OnChannelBarScrolled(int code, int pos);
  void ToggleChasePanel();
  void ShowStepNumber();

  // All 568 bytes of the output frame to the interface, as four pages; the caller holds the data lock.
  void HandOverFrameLocked();
  int ChannelBase() const;
  // The levels of the 32 columns from channel base on; the caller holds the data lock.
  CColumnLevels ColumnLevelsLocked(int base) const;
  // Faders, then value boxes, then labels, from the levels given.
  void ShowColumns(int base, const CColumnLevels& levels);
  // Runs a chase operation under the data lock and shows what it changed.
  template <class Operation>
  void RunChaseOperation(Operation operation);
  void Apply(const CChasePanelUpdate& update, const CColumnLevels& levels);
  void SetConsoleEnabled(bool enabled);
  void SetFileTitle(const std::string& path);

  CConsoleData& m_data;
  CDmxLink& m_link;
  // Guards m_data against the console tick.
  mutable std::mutex m_dataMutex;
  int m_tickTimer = 0;  // 0: not running
  bool m_standAlone = false;
};
