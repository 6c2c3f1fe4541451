// Reading and writing chase files, byte by byte.
#include "console/ChaseFile.h"

#include "base/LittleEndian.h"
#include "base/WholeFile.h"
#include "console/SafeFileWrite.h"

#include <algorithm>
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
    return std::unexpected(CError{Join({"Could not save the chase file ", Quoted(path), ": ", reason, "."})});
  };
  if (path.filename().empty()) {
    return failed("no file name was given");
  }
  if (auto written = WriteFileSafely(path, Serialize()); !written) {
    return failed(written.error().message);
  }
  return {};
}
