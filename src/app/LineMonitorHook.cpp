// The line monitor's opener, set by the windowed host.
#include "app/LineMonitorHook.h"

namespace {
struct COpener {
  std::function<void()> open;
  bool withLauncher = false;
};
COpener& Opener() {
  static COpener opener;
  return opener;
}
}  // namespace

void SetLineMonitorOpener(std::function<void()> open, bool withLauncher) { Opener() = {std::move(open), withLauncher}; }
bool HasLineMonitor() { return static_cast<bool>(Opener().open); }
bool LineMonitorOpensWithLauncher() { return HasLineMonitor() && Opener().withLauncher; }
void OpenLineMonitor() {
  if (Opener().open) Opener().open();
}
