// The line monitor lives in the windowed host only; the launcher offers it when one is there.
#pragma once
#include <functional>

inline constexpr int kLineMonitorCommand = 32;  // the launcher's system-menu item

// `withLauncher`: the launcher opens the monitor as soon as it is up (--monitor).
void SetLineMonitorOpener(std::function<void()> open, bool withLauncher = false);
bool HasLineMonitor();
bool LineMonitorOpensWithLauncher();
void OpenLineMonitor();
