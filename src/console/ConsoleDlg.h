// The DMX console: 32 faders over the 512 channels, the console tick, and the chase panel.
#pragma once
#include "console/ConsoleData.h"
#include "console/ConsoleEngine.h"
#include "framework/Dialog.h"
#include "link/DmxLink.h"

#include <string>

// The console shows 32 consecutive channels of the output frame on faders; scroll bar 1100
// picks the first of them (the channel base). The engine makes the calls to the line; its tick
// runs on a 25 ms periodic timer of its own thread. The same window carries the chase panel
// (editor, playback, chase files), hidden until its system menu item shows it (a new console
// shows it if the last one did); after each of its operations the dialog shows the engine's whole
// panel state.
//
// Threads: the tick never touches a control: a step change is posted to the GUI thread.
class CConsoleDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 129;
  static constexpr const char* kTitle = "DMX Console V2.0";
  static constexpr const char* kFileTitlePrefix = "DMX Console V1.1 - ";
  static constexpr int kTickMs = 25;
  static constexpr int kColumns = 32;
  static constexpr int kLastBase = 480;  // channels 481 to 512 on the last bank
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
  explicit CConsoleDlg(CDmxLink& link, CConsoleData& data = CConsoleData::Program());
  ~CConsoleDlg() override;
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

  // Whether the chase panel's controls are shown.
  bool IsChasePanelShown() const;

 private:
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
  void OnCloseBox();
  void OnDestroy();

  void OnFaderMoved(int column);
  void OnChannelBarScrolled(int code, int pos);
  void ToggleChasePanel();

  int ChannelBase() const;
  // Faders, then value boxes, then labels, from the output frame at the channel base.
  void ShowColumns();
  // Everything the chase panel shows, from the engine's state; the columns too while no run
  // has them frozen.
  void ShowChasePanel();
  void ShowStepNumber();
  void SetFileTitle(const std::string& path);

  CConsoleEngine m_engine;
  int m_tickTimer = 0;  // 0: not running
};
