// Reading a regular file whole, without ever blocking on a pipe or a device.
#pragma once
#include <cstdint>
#include <expected>
#include <filesystem>
#include <vector>

struct CWholeFile {
  std::vector<std::uint8_t> bytes;  // the first min(size, limit) bytes
  std::uint64_t size = 0;           // the file's whole length
};

struct CWholeFileError {
  enum class EKind { Open, NotRegular, Read };
  EKind kind = EKind::Open;
  int error = 0;  // errno for Open and Read
};

// Reads at most `limit` bytes of the file at `path`. The file is opened without blocking and
// refused unless it is a regular file, so a FIFO, a device or a directory never stalls the caller.
// A file that shrinks while it is read is a read error.
std::expected<CWholeFile, CWholeFileError> ReadWholeFile(const std::filesystem::path& path, std::uint64_t limit);
