// The sACN source's component identifier (a UUID), made once and kept in the user's configuration.
#pragma once
#include "base/Error.h"

#include <array>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

using CCid = std::array<std::uint8_t, 16>;

// Receivers tell sources apart by their CID, so the same one is used on every run.
class CCidStore final {
 public:
  // $XDG_CONFIG_HOME/vexmira (an absolute XDG_CONFIG_HOME only), else ~/.config/vexmira.
  static std::filesystem::path DefaultFolder();
  // A random version 4 UUID.
  static CCid MakeRandom();
  // "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", lower-case.
  static std::string Format(const CCid& cid);
  static std::optional<CCid> ParseText(std::string_view text);

  explicit CCidStore(std::filesystem::path folder) : m_folder(std::move(folder)) {}
  // The CID kept in the folder; on the first call ever a new one is made and kept. Two programs
  // starting at once agree on one. An error names the file when it cannot be kept.
  std::expected<CCid, CError> Load() const;
  std::filesystem::path File() const { return m_folder / "sacn-cid"; }

 private:
  std::optional<CCid> ReadKept() const;

  std::filesystem::path m_folder;
};
