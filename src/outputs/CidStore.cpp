// Reading, making and keeping the sACN CID.
#include "outputs/CidStore.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kTextLength = 36;
// Copies running at once that each get a CID of their own, kept.
constexpr int kMaxCopies = 16;
// A file longer than this holds no CID, whatever it starts with.
constexpr std::size_t kReadLimit = 4096;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

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

// One CID file: its CID, locked; or held by another copy; or why it cannot be used.
struct CFileClaim {
  std::optional<CCid> cid;
  std::unique_ptr<CFileHandle> lock;
  bool busy = false;
  std::string problem;
  bool there = false;  // the file exists, usable or not
};

std::string Because(const std::string& what, int error) { return what + " (" + std::strerror(error) + ")"; }

// Makes the file with a new CID, written whole under a temporary name and then linked into place:
// a reader never sees half a file, and of two programs making it at once the first to link wins.
// A file that is there already is left alone. An error says why it cannot be made.
std::optional<std::string> MakeFile(const fs::path& file) {
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  if (error) return "cannot be made (" + error.message() + ")";
  std::string temporary = (file.parent_path() / ".sacn-cid-XXXXXX").string();
  CFileHandle handle(::mkstemp(temporary.data()));
  if (!handle.IsOpen()) return Because("cannot be made", errno);
  const std::string text = CCidStore::Format(CCidStore::MakeRandom()) + "\n";
  const bool written = ::write(handle.Get(), text.data(), text.size()) == static_cast<ssize_t>(text.size());
  int problem = handle.Close();
  if (!written && problem == 0) problem = EIO;
  if (problem == 0 && ::link(temporary.c_str(), file.c_str()) != 0 && errno != EEXIST) problem = errno;
  ::unlink(temporary.c_str());
  if (problem != 0) return Because("cannot be made", problem);
  return std::nullopt;
}

CFileClaim ClaimFile(const fs::path& file) {
  CFileClaim claim;
  int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    if (auto problem = MakeFile(file)) {
      claim.problem = *problem;
      return claim;
    }
    fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  }
  claim.there = fd >= 0 || errno != ENOENT;
  if (fd < 0) {
    claim.problem = Because("cannot be read", errno);
    return claim;
  }
  claim.lock = std::make_unique<CFileHandle>(fd);
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    claim.problem = "is not a regular file";
    return claim;
  }
  // Locked on the file itself: the lock goes with the process, however it ends.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) {
      claim.busy = true;
    } else {
      claim.problem = Because("cannot be locked", errno);
    }
    return claim;
  }
  std::string text(kReadLimit + 1, '\0');
  std::size_t size = 0;
  for (ssize_t got = 1; got > 0 && size < text.size(); size += static_cast<std::size_t>(got)) {
    got = ::read(fd, text.data() + size, text.size() - size);
    if (got < 0) {
      claim.problem = Because("cannot be read", errno);
      return claim;
    }
  }
  text.resize(size);
  claim.cid = size > kReadLimit ? std::nullopt : CCidStore::ParseText(text);
  if (!claim.cid) claim.problem = "holds no source id (a UUID)";
  return claim;
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
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
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

fs::path CCidStore::File(int copy) const {
  return m_folder / (copy == 1 ? std::string("sacn-cid") : "sacn-cid." + std::to_string(copy));
}

CCidStore::CClaim CCidStore::Claim() const {
  for (int copy = 1; copy <= kMaxCopies; ++copy) {
    CFileClaim claim = ClaimFile(File(copy));
    if (claim.busy) continue;
    if (!claim.problem.empty()) {
      return {MakeRandom(), nullptr,
              "the sACN source id file " + File(copy).string() + " " + claim.problem +
                  (claim.there ? "; it is left as it is, and this run uses a source id of its own"
                              : "; this run uses a source id of its own (set XDG_CONFIG_HOME to a folder "
                                "you can write to)")};
    }
    std::string notice;
    if (copy > 1) {
      notice = "another copy of the program uses the sACN source id in " + File(1).string() + "; this copy uses " +
               File(copy).string();
    }
    return {*claim.cid, std::move(claim.lock), notice};
  }
  return {MakeRandom(), nullptr,
          "every sACN source id file in " + m_folder.string() +
              " is in use by another copy of the program; this run uses a source id of its own"};
}
