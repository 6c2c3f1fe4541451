// The line monitor's opener, set by the windowed host.
#include "app/LineMonitorHook.h"

namespace {
std::function<void()>& Opener() {
  static std::function<void()> open;
  return open;
}
}  // namespace

void SetLineMonitorOpener(std::function<void()> open) { Opener() = std::move(open); }
bool HasLineMonitor() { return static_cast<bool>(Opener()); }
void OpenLineMonitor() {
  if (Opener()) Opener()();
}
