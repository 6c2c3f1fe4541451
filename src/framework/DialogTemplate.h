// A dialog template: the data a dialog's window and controls are created from.
#pragma once
#include "framework/Control.h"

#include <string>
#include <vector>

namespace DialogStyle {
inline constexpr unsigned kSysMenu = 1u << 0;      // title bar with system menu and close box
inline constexpr unsigned kModalFrame = 1u << 1;
inline constexpr unsigned kAppWindow = 1u << 2;    // shown on the taskbar
inline constexpr unsigned kCentreMouse = 1u << 3;  // placed centred on the mouse pointer
}  // namespace DialogStyle

struct CControlTemplate {
  int id = -1;
  EControlKind kind = EControlKind::Static;
  CRect rect;
  std::string text;
  unsigned style = 0;
  bool visible = true;
  bool enabled = true;
};

struct CDialogTemplate {
  int resourceId = 0;
  std::string title;
  int cx = 0, cy = 0;  // dialog units
  std::string font = "MS Shell Dlg";
  int pointSize = 8;
  unsigned style = DialogStyle::kSysMenu | DialogStyle::kModalFrame;
  std::vector<CControlTemplate> controls;  // resource order, which is also the tab order
};
