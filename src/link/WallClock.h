// The time frames are stamped with: the time of day, advancing as the steady clock does.
#pragma once
#include <cstdint>

// Microseconds since the epoch: the wall-clock time at the first call plus the monotonic time
// since then. Captures so carry today's date while intervals between frames stay exact, even if
// the system's time of day is set meanwhile.
std::int64_t WallClockNowUs();
