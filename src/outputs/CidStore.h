// The sACN source's component identifier (a UUID), made once and kept in the user's configuration,
// and held by one running copy of the program at a time.
#pragma once
#include "base/FileHandle.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

using CCid = std::array<std::uint8_t, 16>;

// Receivers tell sources apart by their CID, so the same one is used on every run, and two copies
// running at once never share one (receivers would take them for one source and drop half of
// their packets as out of sequence).
class CCidStore final {
 public:
  // The CID of one run, and the lock on its file that keeps it this run's alone.
  struct CClaim {
    CCid cid{};
    std::unique_ptr<CFileHandle> lock;  // none for a CID made for this run only
    std::string notice;                 // why the run does not use the first kept CID; empty when it does
  };

  // $XDG_CONFIG_HOME/vexmira (an absolute XDG_CONFIG_HOME only), else ~/.config/vexmira.
  static std::filesystem::path DefaultFolder();
  // A random version 4 UUID.
  static CCid MakeRandom();
  // "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", lower-case.
  static std::string Format(const CCid& cid);
  // The text of a CID, blanks before and after allowed.
  static std::optional<CCid> ParseText(std::string_view text);

  explicit CCidStore(std::filesystem::path folder) : m_folder(std::move(folder)) {}
  // The CID kept in sacn-cid, made on the first call ever. While another copy of the program holds
  // it, the next free one of sacn-cid.2, sacn-cid.3 ..., made the same way. A file that cannot be
  // read or holds no CID is never replaced: the run then gets a CID of its own and a notice.
  CClaim Claim() const;
  // sacn-cid for the first copy, sacn-cid.N for the N-th.
  std::filesystem::path File(int copy = 1) const;

 private:
  std::filesystem::path m_folder;
};
