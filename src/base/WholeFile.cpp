// Reading a regular file whole, without ever blocking on a pipe or a device.
#include "base/WholeFile.h"

#include "base/FileHandle.h"
#include "base/RetryOnInterrupt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

std::expected<CWholeFile, CWholeFileError> ReadWholeFile(const std::filesystem::path& path, std::uint64_t limit,
                                                         EBeyondLimit beyond) {
  using EKind = CWholeFileError::EKind;
  // Looked at before opening too: opening a serial device alone would toggle its control lines.
  struct stat named {};
  if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
    return std::unexpected(CWholeFileError{EKind::NotRegular, 0, 0});
  const CFileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!file.IsOpen()) return std::unexpected(CWholeFileError{EKind::Open, errno, 0});
  struct stat status {};
  if (::fstat(file.Get(), &status) != 0) return std::unexpected(CWholeFileError{EKind::Open, errno, 0});
  if (!S_ISREG(status.st_mode)) return std::unexpected(CWholeFileError{EKind::NotRegular, 0, 0});

  CWholeFile whole;
  whole.size = static_cast<std::uint64_t>(status.st_size);
  if (whole.size > limit && beyond == EBeyondLimit::Refuse)
    return std::unexpected(CWholeFileError{EKind::TooLarge, 0, whole.size});
  whole.bytes.resize(static_cast<std::size_t>(std::min(whole.size, limit)));
  std::size_t done = 0;
  while (done < whole.bytes.size()) {
    const ssize_t got =
        RetryOnInterrupt([&] { return ::read(file.Get(), whole.bytes.data() + done, whole.bytes.size() - done); });
    if (got < 0) return std::unexpected(CWholeFileError{EKind::Read, errno, 0});
    if (got == 0) return std::unexpected(CWholeFileError{EKind::Read, 0, 0});  // shrank while being read
    done += static_cast<std::size_t>(got);
  }
  return whole;
}
