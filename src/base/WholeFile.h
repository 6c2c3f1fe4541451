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
  enum class EKind { Open, NotRegular, TooLarge, Read };
  EKind kind = EKind::Open;
  int error = 0;          // errno for Open and Read
  std::uint64_t size = 0;  // the file's length for TooLarge
};

// What to do with a file longer than the limit: refuse it before reading anything, or read its
// first `limit` bytes (for formats whose readers ignore what follows).
enum class EBeyondLimit { Refuse, ReadPrefix };

// Reads the file at `path`, at most `limit` bytes. The file is opened without blocking and refused
// unless it is a regular file, so a FIFO, a device or a directory never stalls the caller. A file
// that shrinks while it is read is a read error.
std::expected<CWholeFile, CWholeFileError> ReadWholeFile(const std::filesystem::path& path, std::uint64_t limit,
                                                         EBeyondLimit beyond = EBeyondLimit::Refuse);
