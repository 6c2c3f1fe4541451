// SCHED_FIFO for the calling thread, within the user's real-time limit.
#include "base/RealtimeScheduling.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

namespace {

bool SetFifo(int priority) {
  sched_param param{};
  param.sched_priority = priority;
  return pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
}

}  // namespace

bool RequestRealtimeScheduling() {
  if (SetFifo(kRealtimePriority)) return true;
  // Refused: a user may still be allowed a lower priority than ours.
  rlimit limit{};
  if (getrlimit(RLIMIT_RTPRIO, &limit) != 0 || limit.rlim_cur == 0 || limit.rlim_cur >= kRealtimePriority) return false;
  return SetFifo(static_cast<int>(limit.rlim_cur));
}
