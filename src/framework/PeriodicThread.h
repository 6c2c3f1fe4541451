// A thread that calls a function every period against absolute deadlines, so it never drifts.
#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

class CPeriodicThread final {
 public:
  CPeriodicThread(std::chrono::microseconds period, std::function<void()> callback);
  // Stops the thread; a callback under way finishes first.
  ~CPeriodicThread();
  CPeriodicThread(const CPeriodicThread&) = delete;
  CPeriodicThread& operator=(const CPeriodicThread&) = delete;

  void Stop();

 private:
  void Run();

  std::chrono::microseconds m_period;
  std::function<void()> m_callback;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
