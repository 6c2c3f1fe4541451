// The process-wide current host.
#include "framework/Host.h"

#include <cassert>

namespace {
CHost* g_current = nullptr;
}

CHost& CHost::Current() {
  assert(g_current && "no host is set");
  return *g_current;
}

void CHost::SetCurrent(CHost* host) { g_current = host; }
