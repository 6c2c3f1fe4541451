// Notification codes, message kinds and command ids, with the names dialogs know them by.
#pragma once

// Button and field notifications (WM_COMMAND).
inline constexpr int BN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int EN_SETFOCUS = 0x0100;
inline constexpr int EN_KILLFOCUS = 0x0200;
inline constexpr int EN_CHANGE = 0x0300;

// Scroll bar notifications (WM_HSCROLL / WM_VSCROLL).
inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_LEFT = 6;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_RIGHT = 7;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_ENDSCROLL = 8;

// Trackbar notifications (WM_HSCROLL / WM_VSCROLL).
inline constexpr int TB_LINEUP = 0;
inline constexpr int TB_LINEDOWN = 1;
inline constexpr int TB_PAGEUP = 2;
inline constexpr int TB_PAGEDOWN = 3;
inline constexpr int TB_THUMBPOSITION = 4;
inline constexpr int TB_THUMBTRACK = 5;
inline constexpr int TB_TOP = 6;
inline constexpr int TB_BOTTOM = 7;
inline constexpr int TB_ENDTRACK = 8;

// Dialog results and standard command ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = -1;

// System commands.
inline constexpr int SC_CLOSE = 0xF060;

// Keys, by virtual-key code; a key message's code says whether Shift was held.
inline constexpr int VK_TAB = 0x09;
inline constexpr int VK_RETURN = 0x0D;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_SPACE = 0x20;
inline constexpr int VK_LEFT = 0x25;
inline constexpr int VK_UP = 0x26;
inline constexpr int VK_RIGHT = 0x27;
inline constexpr int VK_DOWN = 0x28;
inline constexpr int VK_F10 = 0x79;
inline constexpr int kShiftHeld = 1;

enum class EMessage {
  Command,    // a control's notification: id, code
  HScroll,    // id of the scroll bar or trackbar, code, pos
  VScroll,
  Timer,      // window timer: id
  SysCommand, // system menu command: id
  Close,      // close box or Escape
  Destroy,    // the window is going away
  Key,        // a key the focused control leaves to the dialog: id the key, code kShiftHeld or 0
};

struct CMessage {
  EMessage kind = EMessage::Command;
  int id = 0;    // control id, timer id or system command id
  int code = 0;  // notification code
  int pos = 0;   // scroll position carried by thumb notifications and up-down controls
};

// Looks up a notification code by the name a script uses ("SB_LINERIGHT"); -1 if unknown.
int NotificationCodeByName(const char* name);
