// Chase files: the byte layout, refusing damaged files, and saving without ever losing the earlier file.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "ConsoleTestSupport.h"
#include "console/ChaseFile.h"
#include "support/TempFolder.h"

static const CChaseFile kThree(0x1234, 0xABCD, {StepWith({{0, 1}, {141, 2}}), StepAll(0x55), StepWith({{70, 255}})});

static CChaseFile Many(std::size_t count) {
  std::vector<CChaseStep> steps(count);
  for (std::size_t s = 0; s < count; ++s) steps[s] = StepWith({{0, static_cast<std::uint8_t>(s)}, {141, 7}});
  return CChaseFile(5999, 6000, std::move(steps));
}

// A refusal whose message names `part`.
static bool Refused(const auto& result, const std::string& part) {
  return !result && result.error().message.find(part) != std::string::npos;
}

TEST(ChaseFile, HeaderCountSettingsLittleEndianThenTheStepsAndNothingShort) {
  const std::string head("Zelkar Lighting Chase File 1.0\0\3\x34\x12\xCD\xAB", 36);
  std::vector<std::uint8_t> bytes(head.begin(), head.end());
  bytes.resize(36 + 3 * 142, 0);
  bytes[36] = 1, bytes[36 + 141] = 2, bytes[36 + 284 + 70] = 255;
  std::fill_n(bytes.begin() + 36 + 142, 142, 0x55);
  EXPECT_EQ(kThree.Serialize(), bytes);
  EXPECT_EQ(CChaseFile().Serialize().size(), 36u);
  EXPECT_TRUE(Many(255).Serialize().size() == 36u + 255 * 142 && CChaseFile::Parse(Many(255).Serialize()) == Many(255));
  // Reading ignores the header and bytes after the counted steps, and refuses a file short of its steps.
  for (std::size_t i = 0; i < 31; ++i) bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
  bytes.insert(bytes.end(), 141, 0xEE);
  EXPECT_EQ(CChaseFile::Parse(bytes), kThree);
  EXPECT_EQ(CChaseFile::Parse(std::span(bytes).first(36 + 3 * 142 - 1)).error().message,
            "its header says it holds 3 steps (462 bytes), but it is only 461 bytes long.");
  EXPECT_EQ(CChaseFile::Parse(std::span(bytes).first(35)).error().message,
            "it is only 35 bytes long, shorter than a chase file's 36-byte header.");
}

TEST(ChaseFile, SavedOverAnotherLoadsBackExactlyAndAFailedSaveOrLoadChangesNoFile) {
  const CTempFolder folder;
  const auto path = folder / "show.zkc";
  const auto entries = [&] { return std::ranges::distance(std::filesystem::directory_iterator(folder.Path())); };
  ASSERT_TRUE(Many(255).Save(path));
  using std::filesystem::perms;
  const auto special = perms::set_uid | perms::set_gid | perms::sticky_bit;
  std::filesystem::permissions(path, perms::owner_read | perms::owner_write | special);
  // Over a longer file: nothing of it is left; its permissions stay, its special bits go.
  ASSERT_TRUE(kThree.Save(path));
  EXPECT_TRUE(CChaseFile::Load(path) == kThree && std::filesystem::file_size(path) == 36u + 3 * 142);
  EXPECT_EQ(std::filesystem::status(path).permissions(), perms::owner_read | perms::owner_write);
  // The disk takes no more than 1000 bytes per file: the larger chase cannot be written.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto handler = std::signal(SIGXFSZ, SIG_IGN);
  const struct rlimit small {1000, old.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_TRUE(Refused(Many(100).Save(path), "show.zkc"));
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old) + (std::signal(SIGXFSZ, handler) == SIG_ERR), 0);
  EXPECT_TRUE(CChaseFile::Load(path) == kThree && entries() == 1);  // no temporary left
  // A link is followed to the file it names, which is written in its own folder; the link stays.
  std::filesystem::create_directory(folder / "shows");
  std::filesystem::create_symlink("shows/real.zkc", folder / "link.zkc");
  ASSERT_TRUE(kThree.Save(folder / "link.zkc"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.zkc"));
  EXPECT_EQ(CChaseFile::Load(folder / "shows/real.zkc"), kThree);
  // What is not a file is never replaced: a folder, a FIFO (as a stand-in for devices and sockets).
  std::filesystem::create_directory(folder / "taken.zkc");
  ASSERT_EQ(::mkfifo((folder / "pipe.zkc").c_str(), 0600), 0);
  for (const auto& other : {folder / "taken.zkc", folder / "pipe.zkc"})
    EXPECT_EQ(kThree.Save(other).error().message,
              "Could not save the chase file \"" + other.string() + "\": it is not a file.");

  // Loading refuses what is not a whole chase file, and never creates one.
  EXPECT_TRUE(Refused(CChaseFile::Load(folder / "missing.zkc"), "missing.zkc"));
  std::filesystem::resize_file(path, 36 + 2 * 142 + 70);
  EXPECT_EQ(CChaseFile::Load(path).error().message, "The file \"" + path.string() + "\" is not a chase file: its "
            "header says it holds 3 steps (462 bytes), but it is only 390 bytes long. Nothing was loaded.");
  EXPECT_FALSE(CChaseFile::Load(folder / "taken.zkc"));
  EXPECT_FALSE(CChaseFile::Load(folder / "pipe.zkc"));  // refused, not waited on
  EXPECT_EQ(entries(), 5);
}

// Root writes where the permission bits say no, so as root these cases run as the user nobody.
TEST(ChaseFile, AFileTheUserMayNotWriteIsRefusedAndOneInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  const CTempFolder folder;
  const auto locked = folder / "locked", readOnly = folder / "read-only.zkc";
  std::filesystem::create_directory(locked);
  ASSERT_TRUE(Many(255).Save(locked / "show.zkc") && kThree.Save(readOnly));
  using std::filesystem::perms;
  for (const auto& [path, bits] : {std::pair{locked / "show.zkc", perms(0666)}, {readOnly, perms(0444)},
                                   {locked, perms(0555)}, {folder.Path(), perms(0777)}})
    std::filesystem::permissions(path, bits);
  const bool root = ::geteuid() == 0;
  ASSERT_TRUE(!root || ::seteuid(65534) == 0) << "cannot act as nobody";
  const auto refused = Many(1).Save(readOnly);
  const auto inPlace = kThree.Save(locked / "show.zkc");
  ASSERT_TRUE(!root || ::seteuid(0) == 0);
  std::filesystem::permissions(locked, perms(0755));
  EXPECT_EQ(refused.error().message, "Could not save the chase file \"" + readOnly.string() + "\": Permission denied.");
  EXPECT_EQ(CChaseFile::Load(readOnly), kThree);
  EXPECT_TRUE(inPlace) << inPlace.error().message;
  EXPECT_EQ(CChaseFile::Load(locked / "show.zkc"), kThree);
  EXPECT_EQ(std::filesystem::file_size(locked / "show.zkc"), 36u + 3 * 142);  // nothing of the longer file left
}
