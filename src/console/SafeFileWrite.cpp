// Writing a file through a new one beside it, or in place where its folder allows no new file.
#include "console/SafeFileWrite.h"

#include "base/FileHandle.h"
#include "base/RetryOnInterrupt.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
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

// Writes all of bytes at the file's start; returns errno or 0.
int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = RetryOnInterrupt(
        [&] { return ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done)); });
    if (written < 0) return errno;
    done += static_cast<std::size_t>(written);
  }
  return 0;
}

// Writes, makes durable and closes; returns the first errno or 0.
int WriteAndClose(CFileHandle& file, std::span<const std::uint8_t> bytes, bool truncate) {
  int error = WriteAll(file.Get(), bytes);
  if (error == 0 && truncate && ::ftruncate(file.Get(), static_cast<off_t>(bytes.size())) != 0) error = errno;
  if (error == 0 && ::fsync(file.Get()) != 0) error = errno;
  const int closeError = file.Close();
  return error != 0 ? error : closeError;
}

// A new, empty file with a name of its own in the folder of `target`, so that a rename stays within
// one file system; errno when the folder takes none.
std::expected<int, int> CreateBeside(const std::filesystem::path& target, std::filesystem::path& created) {
  static std::atomic<unsigned> s_counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = "." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
                             std::to_string(s_counter++) + ".tmp";
    created = target.parent_path() / name;
    const int fd = ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return std::unexpected(errno);
  }
  return std::unexpected(EEXIST);
}

}  // namespace

std::expected<void, CError> WriteFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
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
    inPlace.emplace(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!inPlace->IsOpen()) return Failed(errno);
    struct stat opened {};
    if (::fstat(inPlace->Get(), &opened) != 0) return Failed(errno);
    if (!S_ISREG(opened.st_mode)) return std::unexpected(CError{"it is not a file"});
  }

  std::filesystem::path temporary;
  const auto created = CreateBeside(target, temporary);
  if (!created) {
    const bool folderRefuses = created.error() == EACCES || created.error() == EPERM || created.error() == EROFS;
    if (!exists || !folderRefuses) return Failed(created.error());
    if (const int error = WriteAndClose(*inPlace, bytes, true); error != 0) return Failed(error);
    return {};
  }
  CFileHandle file(*created);
  if (exists) ::fchmod(file.Get(), old.st_mode & kPermissionBits);
  int error = WriteAndClose(file, bytes, false);
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return Failed(error);
  }
  return {};
}
