// The line monitor lives in the windowed host only; the launcher offers it when one is there.
#pragma once
#include <functional>

inline constexpr int kLineMonitorCommand = 32;  // the launcher's system-menu item

void SetLineMonitorOpener(std::function<void()> open);
bool HasLineMonitor();
void OpenLineMonitor();
