// A chase file (.zkc): recorded chase steps with the speed and fade settings.
#pragma once
#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "console/ChaseStep.h"

// Layout, numbers unsigned and little-endian:
//   0  31 bytes  header text and a 0x00 (written, never examined on reading)
//  31   1        step count, 0 to 255
//  32   2        speed setting
//  34   2        fade setting
//  36  142 each  the steps
// A value: reading parses into a new CChaseFile, so a bad file changes nothing.
class CChaseFile final {
 public:
  static constexpr std::string_view kHeaderText = "Zelkar Lighting Chase File 1.0";
  static constexpr std::size_t kHeaderSize = 31;
  static constexpr std::size_t kStepsOffset = 36;
  static constexpr std::size_t kMaxSteps = 255;
  static constexpr std::size_t kMaxFileSize = kStepsOffset + kMaxSteps * kStepSize;

  CChaseFile() = default;  // no steps, settings 0
  // At most 255 steps; any further ones are dropped.
  CChaseFile(std::uint16_t speedSetting, std::uint16_t fadeSetting,
             std::vector<CChaseStep> steps);

  std::uint16_t SpeedSetting() const { return m_speedSetting; }
  std::uint16_t FadeSetting() const { return m_fadeSetting; }
  std::size_t StepCount() const { return m_steps.size(); }
  std::span<const CChaseStep> Steps() const { return m_steps; }

  // Reads a chase from the bytes of a file. Bytes after the last step are ignored;
  // a file shorter than its header says is refused as no chase file.
  static std::expected<CChaseFile, CError> Parse(std::span<const std::uint8_t> bytes);
  // The file's bytes: exactly 36 + 142 x step count.
  std::vector<std::uint8_t> Serialize() const;

  // Reads the file; never creates one.
  static std::expected<CChaseFile, CError> Load(const std::filesystem::path& path);
  // Writes the file through a new one beside it that then takes its place, so a failed save
  // leaves any earlier file as it was (see WriteFileSafely for links, folders and permissions).
  std::expected<void, CError> Save(const std::filesystem::path& path) const;

  bool operator==(const CChaseFile&) const = default;

 private:
  std::uint16_t m_speedSetting = 0;
  std::uint16_t m_fadeSetting = 0;
  std::vector<CChaseStep> m_steps;
};
