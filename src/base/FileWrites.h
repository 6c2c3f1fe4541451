// The write seam: the calls through which saved files and the capture reach the disk or a pipe.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <span>

// Writers take these calls as an object, so a test can put a file with a byte budget in place of
// the system's (a full disk, a size limit, a reader that stops reading) without changing the
// process's limits or user. Everything else (links, renames, the folder) stays the real thing.
class CFileWrites {
 public:
  using Clock = std::chrono::steady_clock;

  CFileWrites() = default;
  CFileWrites(const CFileWrites&) = delete;
  CFileWrites& operator=(const CFileWrites&) = delete;
  virtual ~CFileWrites() = default;

  // The system's calls; safe to use from any thread.
  static CFileWrites& System();

  // open(2): the descriptor, or errno.
  virtual std::expected<int, int> Open(const char* path, int flags, mode_t mode);
  // write(2), made again when a signal interrupted it: how many of `bytes` the file took (a pipe or
  // a full disk may take fewer), or errno (EAGAIN: a pipe whose reader has not caught up).
  virtual std::expected<std::size_t, int> Write(int fd, std::span<const std::uint8_t> bytes);
  // Waits at most `limit` for `fd` to take bytes again; false when the time ran out.
  virtual bool WaitWritable(int fd, std::chrono::milliseconds limit);
  // The clock a writer measures a stalled reader by.
  virtual Clock::time_point Now() const { return Clock::now(); }
};
