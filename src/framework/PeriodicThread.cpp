// Periodic thread: sleeps to absolute deadlines on the monotonic clock.
#include "framework/PeriodicThread.h"

#include "base/RealtimeScheduling.h"

#include <cerrno>
#include <ctime>

CPeriodicThread::CPeriodicThread(std::chrono::microseconds period, std::function<void()> callback)
    : m_period(period), m_callback(std::move(callback)), m_thread([this] { Run(); }) {}

CPeriodicThread::~CPeriodicThread() { Stop(); }

void CPeriodicThread::Stop() {
  m_stop.store(true);
  if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void CPeriodicThread::Run() {
  // Ticks keep their period even with every core busy, where the system allows it.
  RequestRealtimeScheduling();
  timespec deadline{};
  clock_gettime(CLOCK_MONOTONIC, &deadline);
  const long periodNs = static_cast<long>(m_period.count()) * 1000;
  while (!m_stop.load()) {
    deadline.tv_nsec += periodNs;
    while (deadline.tv_nsec >= 1'000'000'000L) {
      deadline.tv_nsec -= 1'000'000'000L;
      ++deadline.tv_sec;
    }
    // Sleep in slices of at most 50 ms so Stop is answered quickly even for long periods.
    while (!m_stop.load()) {
      timespec now{};
      clock_gettime(CLOCK_MONOTONIC, &now);
      const long long left = (deadline.tv_sec - now.tv_sec) * 1'000'000'000LL + (deadline.tv_nsec - now.tv_nsec);
      if (left <= 0) break;
      if (left <= 50'000'000LL) {
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
        }
        break;
      }
      timespec slice{0, 50'000'000L};
      clock_nanosleep(CLOCK_MONOTONIC, 0, &slice, nullptr);
    }
    if (m_stop.load()) break;
    m_callback();
  }
}
