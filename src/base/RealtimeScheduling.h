// Real-time scheduling for the threads that keep the line's timing (the console tick, serial writers).
#pragma once

// The priority asked for: above every ordinary thread, below the kernel's own real-time work and
// the usual audio servers (which ask for 20 and more).
inline constexpr int kRealtimePriority = 10;

// Puts the calling thread in the SCHED_FIFO class when the system allows it: for root, or for a
// user whose real-time limit (RLIMIT_RTPRIO, from limits.conf) is above 0, at the lower of the limit
// and kRealtimePriority. Otherwise the thread stays as it was, without a word: true if granted.
bool RequestRealtimeScheduling();
