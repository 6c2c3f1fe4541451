// The system's side of the write seam.
#include "base/FileWrites.h"

#include "base/RetryOnInterrupt.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

CFileWrites& CFileWrites::System() {
  static CFileWrites system;
  return system;
}

std::expected<int, int> CFileWrites::Open(const char* path, int flags, mode_t mode) {
  const int fd = RetryOnInterrupt([&] { return ::open(path, flags, mode); });
  if (fd < 0) return std::unexpected(errno);
  return fd;
}

std::expected<std::size_t, int> CFileWrites::Write(int fd, std::span<const std::uint8_t> bytes) {
  const ssize_t written = RetryOnInterrupt([&] { return ::write(fd, bytes.data(), bytes.size()); });
  if (written < 0) return std::unexpected(errno);
  return static_cast<std::size_t>(written);
}

bool CFileWrites::WaitWritable(int fd, std::chrono::milliseconds limit) {
  pollfd watched{fd, POLLOUT, 0};
  // An error or a hang-up counts as writable: the next write reports it.
  return ::poll(&watched, 1, static_cast<int>(limit.count())) > 0;
}
