// A disk or a reader for tests: takes a budget of bytes, then fails every write with the errno chosen.
#pragma once
#include "base/FileWrites.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>

// The bytes within the budget reach the real file; then each write fails with `error`: ENOSPC (a
// full disk), EFBIG (a size limit), or EAGAIN (a pipe whose reader stopped reading, where each wait
// lets the time it was given pass at once). `refuse` gives the errno an open is refused with, or 0.
class CFakeFileWrites final : public CFileWrites {
 public:
  CFakeFileWrites(std::size_t budget, int error) : m_budget(budget), m_error(error) {}

  std::function<int(const std::string& path, int flags)> refuse;

  std::expected<int, int> Open(const char* path, int flags, mode_t mode) override {
    if (const int error = refuse ? refuse(path, flags) : 0) return std::unexpected(error);
    return CFileWrites::Open(path, flags, mode);
  }
  std::expected<std::size_t, int> Write(int fd, std::span<const std::uint8_t> bytes) override {
    std::lock_guard lock(m_mutex);
    if (m_budget == 0) return std::unexpected(m_error);
    const auto written = CFileWrites::Write(fd, bytes.first(std::min(bytes.size(), m_budget)));
    if (written) m_budget -= *written;
    return written;
  }
  bool WaitWritable(int, std::chrono::milliseconds limit) override {
    std::lock_guard lock(m_mutex);
    if (m_budget > 0 || m_error != EAGAIN) return true;
    m_now += limit;
    return false;
  }
  Clock::time_point Now() const override {
    std::lock_guard lock(m_mutex);
    return m_now;
  }

 private:
  mutable std::mutex m_mutex;
  std::size_t m_budget;
  int m_error;
  Clock::time_point m_now{};
};
