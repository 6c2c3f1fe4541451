// Writing a file through a new one beside it, or in place where its folder allows no new file.
#include "console/SafeFileWrite.h"

#include "base/FileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr int kMostLinks = 40;  // as many as the kernel follows in one name
constexpr mode_t kPermissionBits = 0777;

std::unexpected<CError> Failed(int error) { return std::unexpected(CError{std::strerror(error)}); }

// Follows symbolic links to the name that is not one; that name may not exist yet (a dangling
// link names the file to create).
std::expected<std::filesystem::path, CError> FollowLinks(std::filesystem::path path) {
  for (int hops = 0; hops <= kMostLinks; ++hops) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return Failed(error.value());
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return Failed(ELOOP);
}

// Writes all of bytes to a file just opened (so at its start); returns errno or 0.
int WriteAll(CFileWrites& writes, int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const auto written = writes.Write(fd, bytes);
    if (!written) return written.error();
    if (*written == 0) return ENOSPC;  // a file that takes nothing would be retried for ever
    bytes = bytes.subspan(*written);
  }
  return 0;
}

// Writes, makes durable and closes; returns the first errno or 0.
int WriteAndClose(CFileWrites& writes, CFileHandle& file, std::span<const std::uint8_t> bytes, bool truncate) {
  int error = WriteAll(writes, file.Get(), bytes);
  if (error == 0 && truncate && ::ftruncate(file.Get(), static_cast<off_t>(bytes.size())) != 0) error = errno;
  if (error == 0 && ::fsync(file.Get()) != 0) error = errno;
  const int closeError = file.Close();
  return error != 0 ? error : closeError;
}

// The start of `name` that leaves `room` bytes free within a file name's limit, cut between characters.
std::string NameStart(const std::string& name, std::size_t room) {
  std::size_t keep = std::min(name.size(), NAME_MAX - room);
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
  return name.substr(0, keep);
}

// A new, empty file with a name of its own in the folder of `target`, so that a rename stays within
// one file system; errno when the folder takes none. The name is made from the target's, shortened
// where needed, so that any name the folder takes also has a temporary beside it.
std::expected<int, int> CreateBeside(CFileWrites& writes, const std::filesystem::path& target,
                                     std::filesystem::path& created) {
  static std::atomic<unsigned> s_counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string suffix = "." + std::to_string(::getpid()) + "-" + std::to_string(s_counter++) + ".tmp";
    created = target.parent_path() / ("." + NameStart(target.filename().string(), 1 + suffix.size()) + suffix);
    const auto fd = writes.Open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd) return *fd;
    if (fd.error() != EEXIST) return std::unexpected(fd.error());
  }
  return std::unexpected(EEXIST);
}

}  // namespace

std::expected<void, CError> WriteFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                            CFileWrites& writes) {
  const auto followed = FollowLinks(path);
  if (!followed) return std::unexpected(followed.error());
  const std::filesystem::path& target = *followed;

  struct stat old {};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return Failed(errno);
  if (exists && !S_ISREG(old.st_mode)) return std::unexpected(CError{"it is not a file"});

  // Opening the old file for writing asks the system itself whether the user may write it, so a
  // file that refuses a write in place is never replaced either; it is also the way in place.
  std::optional<CFileHandle> inPlace;
  if (exists) {
    const auto fd = writes.Open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (!fd) return Failed(fd.error());
    inPlace.emplace(*fd);
    struct stat opened {};
    if (::fstat(inPlace->Get(), &opened) != 0) return Failed(errno);
    if (!S_ISREG(opened.st_mode)) return std::unexpected(CError{"it is not a file"});
  }

  std::filesystem::path temporary;
  const auto created = CreateBeside(writes, target, temporary);
  if (!created) {
    const bool folderRefuses = created.error() == EACCES || created.error() == EPERM || created.error() == EROFS;
    if (!exists || !folderRefuses) return Failed(created.error());
    if (const int error = WriteAndClose(writes, *inPlace, bytes, true); error != 0) return Failed(error);
    return {};
  }
  CFileHandle file(*created);
  if (exists) ::fchmod(file.Get(), old.st_mode & kPermissionBits);
  int error = WriteAndClose(writes, file, bytes, false);
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failed(error);
  }
  return {};
}
