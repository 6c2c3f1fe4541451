// A pseudo-terminal pair standing in for a serial adapter, and a tty control that records what
// an output does to it (a pty shows neither breaks nor line speed).
#pragma once
#include "outputs/KernelTtyControl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

using TestClock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// The adapter's side is the master; the output opens the slave path. A reader thread takes
// everything that arrives (and sends the responder's answer back), so writes never block.
class CPtyPair final {
 public:
  using CResponder = std::function<Bytes(const Bytes& received)>;

  explicit CPtyPair(CResponder responder = {}) : m_responder(std::move(responder)) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return;
    }
    m_slavePath = ::ptsname(m_master);
    m_reader = std::thread([this] { Read(); });
  }
  ~CPtyPair() { CloseMaster(); }
  CPtyPair(const CPtyPair&) = delete;
  CPtyPair& operator=(const CPtyPair&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }
  Bytes Received() const {
    std::lock_guard lock(m_mutex);
    return m_received;
  }
  bool WaitForBytes(std::size_t count) {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, std::chrono::seconds(10), [&] { return m_received.size() >= count; });
  }
  // The adapter is unplugged: the slave's writes fail from now on.
  void CloseMaster() {
    m_stop = true;
    if (m_reader.joinable()) m_reader.join();
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
  }

 private:
  void Read() {
    while (!m_stop) {
      pollfd wait{m_master, POLLIN, 0};
      std::uint8_t buffer[4096];
      // A hang-up (no slave open) shows as POLLHUP without data.
      if (::poll(&wait, 1, 10) <= 0 || (wait.revents & POLLIN) == 0) continue;
      const ssize_t n = ::read(m_master, buffer, sizeof buffer);
      if (n <= 0) continue;
      const Bytes chunk(buffer, buffer + n);
      {
        std::lock_guard lock(m_mutex);
        m_received.insert(m_received.end(), chunk.begin(), chunk.end());
      }
      m_arrived.notify_all();
      if (const Bytes answer = m_responder ? m_responder(chunk) : Bytes{}; !answer.empty()) {
        (void)!::write(m_master, answer.data(), answer.size());
      }
    }
  }

  int m_master = -1;
  std::string m_slavePath;
  CResponder m_responder;
  mutable std::mutex m_mutex;
  std::condition_variable m_arrived;
  Bytes m_received;
  std::atomic<bool> m_stop{false};
  std::thread m_reader;
};

// One call an output made on its tty.
struct CTtyEvent {
  enum class EKind { Configure, BreakOn, BreakOff, Write, Drain };
  EKind kind;
  TestClock::time_point time;  // when the call was made (Drain: when it returned)
  Bytes bytes;                 // Write: the bytes the driver took
  CTtySettings settings;       // Configure
};

// Real system calls on the pty, recorded; the speed and break calls a pty may not take are
// recorded and otherwise ignored. Opens of chosen paths can be made to fail.
class CRecordingControl final : public CTtyControl {
 public:
  using EKind = CTtyEvent::EKind;

  void FailOpen(const std::string& path, std::errc error) { m_openFailures[path] = error; }
  std::vector<CTtyEvent> Events(std::optional<EKind> only = {}) const {
    std::lock_guard lock(m_mutex);
    std::vector<CTtyEvent> found;
    for (const CTtyEvent& event : m_events) {
      if (!only || event.kind == *only) found.push_back(event);
    }
    return found;
  }

  std::expected<int, std::error_code> Open(const std::string& path) override {
    if (auto failure = m_openFailures.find(path); failure != m_openFailures.end()) {
      return std::unexpected(std::make_error_code(failure->second));
    }
    return m_kernel.Open(path);
  }
  std::expected<void, std::error_code> Configure(int fd, const CTtySettings& settings) override {
    Record({EKind::Configure, TestClock::now(), {}, settings});
    if (m_kernel.Configure(fd, settings)) return {};
    // A pty that takes no custom speed: raw bytes at a standard one will do.
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return std::unexpected(std::error_code(errno, std::generic_category()));
    ::cfmakeraw(&tio);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return std::unexpected(std::error_code(errno, std::generic_category()));
    return {};
  }
  std::expected<void, std::error_code> SetBreak(int fd, bool on) override {
    Record({on ? EKind::BreakOn : EKind::BreakOff, TestClock::now(), {}, {}});
    auto done = m_kernel.SetBreak(fd, on);
    if (!done && (done.error() == std::errc::invalid_argument || done.error() == std::errc::inappropriate_io_control_operation ||
                  done.error() == std::errc::operation_not_supported)) {
      return {};
    }
    return done;
  }
  std::expected<std::size_t, std::error_code> Write(int fd, std::span<const std::uint8_t> bytes) override {
    const auto time = TestClock::now();
    auto written = m_kernel.Write(fd, bytes);
    if (written && *written > 0) Record({EKind::Write, time, Bytes(bytes.begin(), bytes.begin() + *written), {}});
    return written;
  }
  std::expected<void, std::error_code> Drain(int fd) override {
    auto done = m_kernel.Drain(fd);
    Record({EKind::Drain, TestClock::now(), {}, {}});
    return done;
  }

 private:
  void Record(CTtyEvent event) {
    std::lock_guard lock(m_mutex);
    m_events.push_back(std::move(event));
  }

  CKernelTtyControl m_kernel;
  mutable std::mutex m_mutex;
  std::vector<CTtyEvent> m_events;
  std::map<std::string, std::errc> m_openFailures;  // set before the output opens
};

// Start code followed by slots, as an open-DMX adapter sends a frame after the break.
inline Bytes WireBytes(std::uint8_t startCode, const Bytes& slots) {
  Bytes bytes{startCode};
  bytes.insert(bytes.end(), slots.begin(), slots.end());
  return bytes;
}

inline Bytes Pattern(int length, int seed) {
  Bytes slots(static_cast<std::size_t>(length));
  for (int i = 0; i < length; ++i) slots[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + seed);
  return slots;
}
