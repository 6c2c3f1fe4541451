// Tests of chase files: byte layout, reading, refusing damaged files, safe saving.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "ChaseTestSupport.h"
#include "console/ChaseFile.h"


namespace {

const CChaseFile kThreeSteps(0x1234, 0xABCD, {StepWith({{0, 1}, {141, 2}}), StepAll(0x55), StepWith({{70, 255}})});

std::vector<CChaseStep> ManySteps(std::size_t count) {
  std::vector<CChaseStep> steps(count);
  for (std::size_t s = 0; s < count; ++s)
    for (std::size_t c = 0; c < kStepSize; ++c) steps[s][c] = static_cast<std::uint8_t>(s * 7 + c);
  return steps;
}

bool Mentions(const std::string& message, const std::string& part) { return message.find(part) != std::string::npos; }

}  // namespace

TEST(ChaseFileFormat, HeaderCountSettingsLittleEndianThenTheSteps) {
  const std::string header = "Zelkar Lighting Chase File 1.0";
  Bytes expected(header.begin(), header.end());
  expected.insert(expected.end(), {0x00, 0x00, 0x02, 0x01, 0x04, 0x03});
  EXPECT_EQ(CChaseFile(0x0102, 0x0304, {}).Serialize(), expected);  // 36 bytes
  EXPECT_EQ(CChaseFile::Parse(expected), CChaseFile(0x0102, 0x0304, {}));

  Bytes bytes = kThreeSteps.Serialize();
  Bytes steps(36 + 3 * 142, 0);
  std::copy_n(Bytes{0, 3, 0x34, 0x12, 0xCD, 0xAB}.begin(), 6, steps.begin() + 30);
  std::copy(header.begin(), header.end(), steps.begin());
  steps[36] = 1, steps[36 + 141] = 2, steps[36 + 284 + 70] = 255;
  std::fill_n(steps.begin() + 36 + 142, 142, 0x55);
  EXPECT_EQ(bytes, steps);
  EXPECT_EQ(CChaseFile::Parse(bytes), kThreeSteps);

  // The largest chase, 255 steps.
  const CChaseFile largest(5999, 6000, ManySteps(255));
  const Bytes full = largest.Serialize();
  EXPECT_EQ(full.size(), 36u + 255 * 142);
  EXPECT_EQ(full[31], 255);
  EXPECT_EQ(CChaseFile::Parse(full), largest);

  // Reading ignores the header and bytes after the counted steps.
  for (std::size_t i = 0; i < 31; ++i) bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
  bytes.insert(bytes.end(), 141, 0xEE);
  EXPECT_EQ(CChaseFile::Parse(bytes), kThreeSteps);
}

TEST(ChaseFileFormat, FileShorterThanItsStepsIsRefused) {
  const Bytes bytes = kThreeSteps.Serialize();
  const auto cut = CChaseFile::Parse(std::span(bytes).first(bytes.size() - 1));
  ASSERT_FALSE(cut);
  EXPECT_TRUE(Mentions(cut.error().message, "3 steps")) << cut.error().message;
  for (std::size_t size : {0, 1, 31, 35}) {
    const auto tiny = CChaseFile::Parse(std::span(bytes).first(size));
    ASSERT_FALSE(tiny) << size;
    EXPECT_FALSE(tiny.error().message.empty());
  }
  Bytes header(bytes.begin(), bytes.begin() + 36);
  header[31] = 255;
  EXPECT_FALSE(CChaseFile::Parse(header));
}

TEST(ChaseFileStorage, SavedChaseLoadsBackExactlyWithTheFilesPermissions) {
  CScratchFolder folder;
  const fs::path path = folder / "show.zkc";
  const CChaseFile chase(65535, 7000, ManySteps(255));  // settings beyond the sliders
  ASSERT_TRUE(chase.Save(path));
  EXPECT_EQ(CChaseFile::Load(path), chase);
  EXPECT_EQ(folder.Entries(), 1u);

  // Saved over a longer chase, the file holds the new chase alone and keeps its permissions.
  const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(path, perms);
  ASSERT_TRUE(CChaseFile().Save(path));
  EXPECT_EQ(ReadBytes(path), CChaseFile().Serialize());
  EXPECT_EQ(fs::status(path).permissions(), perms);
}

TEST(ChaseFileStorage, LoadRefusesWhatIsNotACompleteChaseFile) {
  CScratchFolder folder;
  const auto absent = CChaseFile::Load(folder / "missing.zkc");
  ASSERT_FALSE(absent);
  EXPECT_TRUE(Mentions(absent.error().message, "missing.zkc"));
  EXPECT_FALSE(fs::exists(folder / "missing.zkc"));  // reading never creates a file

  Bytes bytes = kThreeSteps.Serialize();
  bytes.resize(bytes.size() - 100);
  WriteBytes(folder / "cut.zkc", bytes);
  const auto cut = CChaseFile::Load(folder / "cut.zkc");
  ASSERT_FALSE(cut);
  EXPECT_TRUE(Mentions(cut.error().message, "cut.zkc")) << cut.error().message;

  fs::create_directory(folder / "folder.zkc");
  EXPECT_FALSE(CChaseFile::Load(folder / "folder.zkc"));
  ASSERT_EQ(::mkfifo((folder / "pipe.zkc").c_str(), 0600), 0);
  EXPECT_FALSE(CChaseFile::Load(folder / "pipe.zkc"));  // refused, not waited on
}

TEST(ChaseFileStorage, FailedSaveKeepsTheEarlierFile) {
  CScratchFolder folder;
  const fs::path target = folder / "show.zkc";
  ASSERT_TRUE(kThreeSteps.Save(target));
  const Bytes before = ReadBytes(target);

  // The disk refuses more than 1000 bytes per file: the new, larger chase cannot be written.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto tooBig = CChaseFile(1, 2, ManySteps(100)).Save(target);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  ASSERT_FALSE(tooBig);
  EXPECT_TRUE(Mentions(tooBig.error().message, "show.zkc")) << tooBig.error().message;
  EXPECT_EQ(ReadBytes(target), before);
  EXPECT_EQ(folder.Entries(), 1u);  // no temporary left

  // A folder in the way of the name.
  fs::create_directory(folder / "taken.zkc");
  ASSERT_FALSE(kThreeSteps.Save(folder / "taken.zkc"));
  EXPECT_TRUE(fs::is_directory(folder / "taken.zkc"));
  EXPECT_EQ(folder.Entries(), 2u);

  // A folder without write permission (means nothing to the superuser).
  if (::geteuid() != 0) {
    fs::permissions(folder.m_path, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(CChaseFile().Save(target));
    fs::permissions(folder.m_path, fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(target), before);
  }
}
