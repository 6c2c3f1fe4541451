// The timing of DMX512 on the wire, shared by the serial outputs.
#pragma once
#include <chrono>
#include <cstddef>

// 250000 baud, 8 data bits, no parity, 2 stop bits.
inline constexpr int kDmxBaud = 250000;
inline constexpr int kDmxStopBits = 2;

// The line must stay in break for at least 92 us and then in mark for at least 12 us before the
// start code; a little more than the least keeps slow receivers in step.
inline constexpr std::chrono::microseconds kDmxMinBreak{92};
inline constexpr std::chrono::microseconds kDmxMinMarkAfterBreak{12};
inline constexpr std::chrono::microseconds kDmxBreak{120};
inline constexpr std::chrono::microseconds kDmxMarkAfterBreak{16};
static_assert(kDmxBreak >= kDmxMinBreak && kDmxMarkAfterBreak >= kDmxMinMarkAfterBreak);

// A receiver needs this long from the start of one break to the start of the next.
inline constexpr std::chrono::microseconds kDmxMinBreakToBreak{1204};

// One byte: a start bit, 8 data bits and 2 stop bits at 4 us each.
inline constexpr std::chrono::microseconds kDmxByteTime{44};

// The time `bytes` (start code and slots) take on the wire after the mark-after-break.
inline constexpr std::chrono::microseconds DmxBytesTime(std::size_t bytes) {
  return kDmxByteTime * static_cast<std::chrono::microseconds::rep>(bytes);
}
// A whole frame: break, mark-after-break, start code and slots.
inline constexpr std::chrono::microseconds DmxFrameTime(std::size_t bytes) {
  return kDmxBreak + kDmxMarkAfterBreak + DmxBytesTime(bytes);
}
