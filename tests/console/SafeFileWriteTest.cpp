// Saving a file without ever losing the earlier one: links, names, what is not a file, failures midway.
#include "console/SafeFileWrite.h"

#include "support/FakeFileWrites.h"
#include "support/TempFolder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Reason(const std::expected<void, CError>& result) { return result ? "(written)" : result.error().message; }

}  // namespace

TEST(SafeFileWrite, ReplacesTheWholeFileBesideItFollowingLinksAndRefusesWhatIsNoFile) {
  const CTempFolder folder;
  const auto path = folder / "show.zkc";
  ASSERT_TRUE(WriteFileSafely(path, Bytes(3000, 1)));
  using std::filesystem::perms;
  std::filesystem::permissions(path, perms::owner_read | perms::owner_write | perms::set_uid | perms::sticky_bit);
  // Over a longer file: nothing of it is left; its permissions stay, its special bits go.
  ASSERT_TRUE(WriteFileSafely(path, Bytes(10, 2)));
  EXPECT_EQ(ReadFile<Bytes>(path), Bytes(10, 2));
  EXPECT_EQ(std::filesystem::status(path).permissions(), perms::owner_read | perms::owner_write);
  // The longest name a folder takes still leaves room for the temporary name beside it.
  EXPECT_EQ(Reason(WriteFileSafely(folder / std::string(NAME_MAX - 4, 'n').append(".zkc"), Bytes(1, 3))), "(written)");
  // A link is followed to the file it names, which is written in its own folder; the link stays.
  std::filesystem::create_directory(folder / "shows");
  std::filesystem::create_symlink("shows/real.zkc", folder / "link.zkc");
  ASSERT_TRUE(WriteFileSafely(folder / "link.zkc", Bytes(4, 4)));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.zkc"));
  EXPECT_EQ(ReadFile<Bytes>(folder / "shows/real.zkc"), Bytes(4, 4));
  // What is not a file is never replaced: a folder, a FIFO (as a stand-in for devices and sockets).
  ASSERT_EQ(::mkfifo((folder / "pipe.zkc").c_str(), 0600), 0);
  for (const auto& other : {folder / "shows", folder / "pipe.zkc"})
    EXPECT_EQ(Reason(WriteFileSafely(other, Bytes(1, 5))), "it is not a file");
  EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(folder.Path())), 5);  // no temporary left
}

TEST(SafeFileWrite, AFailureOrARefusalKeepsTheOldFileAndAFolderThatTakesNoNewFileGetsItInPlace) {
  const CTempFolder folder;
  const auto path = folder / "show.zkc";
  ASSERT_TRUE(WriteFileSafely(path, Bytes(100, 1)));
  // The disk fills up, or the file reaches a size limit, midway.
  for (const auto& [error, reason] : {std::pair{ENOSPC, "No space left on device"}, {EFBIG, "File too large"}}) {
    CFakeFileWrites disk(1000, error);
    EXPECT_EQ(Reason(WriteFileSafely(path, Bytes(5000, 2), disk)), reason);
    EXPECT_EQ(ReadFile<Bytes>(path), Bytes(100, 1));
  }
  // A file the user may not write is refused, as its write in place would be; nothing new is made.
  CFakeFileWrites disk(SIZE_MAX, ENOSPC);
  disk.refuse = [&](const std::string& name, int flags) { return name == path && !(flags & O_CREAT) ? EACCES : 0; };
  EXPECT_EQ(Reason(WriteFileSafely(path, Bytes(5, 3), disk)), "Permission denied");
  // A folder that takes no new file: the file is written in place and cut to its new length.
  disk.refuse = [](const std::string&, int flags) { return flags & O_CREAT ? EACCES : 0; };
  EXPECT_EQ(Reason(WriteFileSafely(path, Bytes(5, 4), disk)), "(written)");
  EXPECT_EQ(ReadFile<Bytes>(path), Bytes(5, 4));
  EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(folder.Path())), 1);
}
