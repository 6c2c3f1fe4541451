// Reading and writing chase files, byte by byte.
#include "console/ChaseFile.h"

#include "base/FileHandle.h"
#include "base/LittleEndian.h"
#include "base/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kStepCountOffset = CChaseFile::kHeaderSize;
constexpr std::size_t kSpeedOffset = 32;
constexpr std::size_t kFadeOffset = 34;

// Joins message parts by appending (string_view parts keep the compiler's overlap
// checks from flagging literal + string temporaries).
std::string Join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) {
    text.append(part);
  }
  return text;
}

std::string Quoted(const std::filesystem::path& path) { return Join({"\"", path.native(), "\""}); }

std::string SystemReason(int error) { return std::strerror(error); }

// Writes all of bytes; returns errno or 0.
int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno;
    }
    done += static_cast<std::size_t>(written);
  }
  return 0;
}

}  // namespace

CChaseFile::CChaseFile(std::uint16_t speedSetting, std::uint16_t fadeSetting,
                       std::vector<CChaseStep> steps)
    : m_speedSetting(speedSetting), m_fadeSetting(fadeSetting), m_steps(std::move(steps)) {
  if (m_steps.size() > kMaxSteps) {
    m_steps.resize(kMaxSteps);
  }
}

std::expected<CChaseFile, CError> CChaseFile::Parse(std::span<const std::uint8_t> bytes) {
  const std::string size = std::to_string(bytes.size());
  if (bytes.size() < kStepsOffset) {
    return std::unexpected(CError{Join({"it is only ", size, " bytes long, shorter than a chase file's ",
                                        std::to_string(kStepsOffset), "-byte header."})});
  }
  // A file cut short is no chase, however many of its steps are whole.
  const std::size_t count = bytes[kStepCountOffset];
  const std::size_t needed = kStepsOffset + count * kStepSize;
  if (bytes.size() < needed) {
    return std::unexpected(CError{Join({"its header says it holds ", std::to_string(count), " steps (",
                                        std::to_string(needed), " bytes), but it is only ", size,
                                        " bytes long."})});
  }
  CChaseFile file;
  file.m_speedSetting = ReadU16Le(bytes, kSpeedOffset);
  file.m_fadeSetting = ReadU16Le(bytes, kFadeOffset);
  file.m_steps.resize(count);
  for (std::size_t s = 0; s < count; ++s) {
    const auto step = bytes.subspan(kStepsOffset + s * kStepSize, kStepSize);
    std::copy(step.begin(), step.end(), file.m_steps[s].begin());
  }
  return file;
}

std::vector<std::uint8_t> CChaseFile::Serialize() const {
  // Zero-filled, so the header text is followed by its 0x00.
  std::vector<std::uint8_t> bytes(kStepsOffset + m_steps.size() * kStepSize, 0);
  std::copy(kHeaderText.begin(), kHeaderText.end(), bytes.begin());
  bytes[kStepCountOffset] = static_cast<std::uint8_t>(m_steps.size());
  WriteU16Le(bytes, kSpeedOffset, m_speedSetting);
  WriteU16Le(bytes, kFadeOffset, m_fadeSetting);
  for (std::size_t s = 0; s < m_steps.size(); ++s) {
    std::copy(m_steps[s].begin(), m_steps[s].end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(kStepsOffset + s * kStepSize));
  }
  return bytes;
}

std::expected<CChaseFile, CError> CChaseFile::Load(const std::filesystem::path& path) {
  // Nothing past the largest chase is ever needed; a pipe or a device is refused, never waited on.
  auto whole = ReadWholeFile(path, kMaxFileSize, EBeyondLimit::ReadPrefix);
  if (!whole) {
    const CWholeFileError& error = whole.error();
    if (error.kind == CWholeFileError::EKind::NotRegular)
      return std::unexpected(CError{Join({"Could not open the chase file ", Quoted(path), ": it is not a file."})});
    const char* verb = error.kind == CWholeFileError::EKind::Open ? "open" : "read";
    const std::string reason = error.error ? SystemReason(error.error) : "it changed while it was read";
    return std::unexpected(CError{Join({"Could not ", verb, " the chase file ", Quoted(path), ": ", reason, "."})});
  }
  const std::vector<std::uint8_t>& bytes = whole->bytes;
  auto parsed = Parse(bytes);
  if (!parsed) {
    return std::unexpected(
        CError{Join({"The file ", Quoted(path), " is not a chase file: ",
                     parsed.error().message, " Nothing was loaded."})});
  }
  return parsed;
}

std::expected<void, CError> CChaseFile::Save(const std::filesystem::path& path) const {
  const auto failed = [&path](const std::string& reason) {
    return std::unexpected(
        CError{Join({"Could not save the chase file ", Quoted(path), ": ", reason, "."})});
  };
  const std::filesystem::path name = path.filename();
  if (name.empty()) {
    return failed("no file name was given");
  }
  const std::filesystem::path folder = path.parent_path();

  // A new name beside the target, so that the rename stays within one file system.
  static std::atomic<unsigned> s_counter{0};
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    const std::string tempName = Join({".", name.native(), ".", std::to_string(::getpid()), "-",
                                       std::to_string(s_counter++), ".tmp"});
    temporary = folder.empty() ? std::filesystem::path(tempName) : folder / tempName;
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      return failed(SystemReason(errno));
    }
  }
  if (fd < 0) {
    return failed("no temporary file could be made beside it");
  }
  CFileHandle file(fd);

  // A file saved over keeps its permissions.
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::fchmod(file.Get(), old.st_mode & 07777);
  }

  const std::vector<std::uint8_t> bytes = Serialize();
  int error = WriteAll(file.Get(), bytes);
  if (error == 0 && ::fsync(file.Get()) != 0) {
    error = errno;
  }
  const int closeError = file.Close();
  if (error == 0) {
    error = closeError;
  }
  if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = errno;
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    return failed(SystemReason(error));
  }
  return {};
}
