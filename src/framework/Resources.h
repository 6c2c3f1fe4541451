// Resource numbers the dialogs share.
#pragma once

inline constexpr int kProgramIcon = 139;  // the program icon, large and small, on every dialog
inline constexpr int kPanelBanner = 142;  // the architectural fixture panel's banner bitmap
