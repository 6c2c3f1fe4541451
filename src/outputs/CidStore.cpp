// Reading, making and keeping the sACN CID.
#include "outputs/CidStore.h"

#include "base/FileHandle.h"
#include "base/WholeFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTextLength = 36;

bool IsDash(std::size_t at) { return at == 8 || at == 13 || at == 18 || at == 23; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

fs::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) return entry->pw_dir;
  return ".";
}

}  // namespace

fs::path CCidStore::DefaultFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config == '/') return fs::path(config) / "vexmira";
  return HomeFolder() / ".config" / "vexmira";
}

CCid CCidStore::MakeRandom() {
  std::random_device entropy;  // the kernel's random source
  CCid cid{};
  for (std::uint8_t& byte : cid) byte = static_cast<std::uint8_t>(entropy());
  cid[6] = static_cast<std::uint8_t>((cid[6] & 0x0F) | 0x40);  // version 4: random
  cid[8] = static_cast<std::uint8_t>((cid[8] & 0x3F) | 0x80);  // the RFC 4122 variant
  return cid;
}

std::string CCidStore::Format(const CCid& cid) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < cid.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += kDigits[cid[i] >> 4];
    text += kDigits[cid[i] & 0x0F];
  }
  return text;
}

std::optional<CCid> CCidStore::ParseText(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.remove_suffix(1);
  if (text.size() != kTextLength) return std::nullopt;
  CCid cid{};
  std::size_t byte = 0;
  for (std::size_t at = 0; at < kTextLength; ++at) {
    if (IsDash(at)) {
      if (text[at] != '-') return std::nullopt;
      continue;
    }
    const int high = HexValue(text[at]);
    const int low = HexValue(text[++at]);
    if (high < 0 || low < 0 || IsDash(at)) return std::nullopt;
    cid[byte++] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return cid;
}

std::optional<CCid> CCidStore::ReadKept() const {
  constexpr std::uint64_t kLimit = 256;
  auto file = ReadWholeFile(File(), kLimit);
  if (!file) return std::nullopt;
  return ParseText(std::string_view(reinterpret_cast<const char*>(file->bytes.data()), file->bytes.size()));
}

std::expected<CCid, CError> CCidStore::Load() const {
  if (auto kept = ReadKept()) return *kept;
  const auto failure = [&](const std::string& why) {
    return std::unexpected(CError{"Cannot keep the sACN source id in " + File().string() + ": " + why +
                                  ". Set XDG_CONFIG_HOME to a folder you can write to."});
  };
  std::error_code error;
  fs::create_directories(m_folder, error);
  if (error) return failure(error.message());

  // Written whole under a temporary name, then linked into place: a reader never sees half a
  // file, and of two programs starting at once the first to link wins.
  std::string temporary = (m_folder / ".sacn-cid-XXXXXX").string();
  CFileHandle file(::mkstemp(temporary.data()));
  if (!file.IsOpen()) return failure(std::strerror(errno));
  const std::string text = Format(MakeRandom()) + "\n";
  const bool written = ::write(file.Get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
  int problem = file.Close();
  if (!written && problem == 0) problem = EIO;
  if (problem == 0 && ::link(temporary.c_str(), File().c_str()) != 0) {
    problem = errno;
    // Kept by a program that started at the same time, or a damaged file to replace.
    if (problem == EEXIST && !ReadKept()) problem = ::rename(temporary.c_str(), File().c_str()) == 0 ? 0 : errno;
    if (problem == EEXIST) problem = 0;
  }
  ::unlink(temporary.c_str());
  if (problem != 0) return failure(std::strerror(problem));
  if (auto kept = ReadKept()) return *kept;
  return failure("the file cannot be read back");
}
