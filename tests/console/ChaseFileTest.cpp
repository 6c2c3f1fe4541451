// Tests of chase files: byte layout, reading, refusing damaged files, safe saving.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ChaseTestSupport.h"
#include "console/ChaseFile.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder for one test, removed with everything in it afterwards.
class CScratchFolder final {
public:
  CScratchFolder() {
    static int s_count = 0;
    m_path = fs::temp_directory_path() /
             ("vexmira-chase-" + std::to_string(::getpid()) + "-" + std::to_string(s_count++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
  }
  CScratchFolder(const CScratchFolder&) = delete;
  CScratchFolder& operator=(const CScratchFolder&) = delete;
  ~CScratchFolder() {
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
  }
  fs::path operator/(const std::string& name) const { return m_path / name; }
  const fs::path& Path() const { return m_path; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

private:
  fs::path m_path;
};

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

CChaseFile ThreeSteps() {
  return CChaseFile(0x1234, 0xABCD,
                    {StepWith({{0, 1}, {141, 2}}), StepAll(0x55), StepWith({{70, 255}})});
}

std::vector<CChaseStep> ManySteps(std::size_t count) {
  std::vector<CChaseStep> steps(count);
  for (std::size_t s = 0; s < count; ++s) {
    for (std::size_t c = 0; c < kStepSize; ++c) {
      steps[s][c] = static_cast<std::uint8_t>(s * 7 + c);
    }
  }
  return steps;
}

}  // namespace

TEST(ChaseFileFormat, EmptyChaseIsHeaderCountAndSettings) {
  const std::vector<std::uint8_t> bytes = CChaseFile(0x0102, 0x0304, {}).Serialize();
  const std::string header = "Zelkar Lighting Chase File 1.0";
  std::vector<std::uint8_t> expected(header.begin(), header.end());
  expected.insert(expected.end(), {0x00, 0x00, 0x02, 0x01, 0x04, 0x03});
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes.size(), 36u);

  const auto parsed = CChaseFile::Parse(bytes);
  ASSERT_TRUE(parsed) << parsed.error().message;
  EXPECT_EQ(parsed->StepCount(), 0u);
  EXPECT_EQ(parsed->SpeedSetting(), 0x0102);
  EXPECT_EQ(parsed->FadeSetting(), 0x0304);
}

TEST(ChaseFileFormat, StepsFollowInOrderLittleEndianSettingsFirst) {
  const std::vector<std::uint8_t> bytes = ThreeSteps().Serialize();
  ASSERT_EQ(bytes.size(), 36u + 3 * 142);
  EXPECT_EQ(bytes[30], 0x00);
  EXPECT_EQ(bytes[31], 3);
  EXPECT_EQ(bytes[32], 0x34);
  EXPECT_EQ(bytes[33], 0x12);
  EXPECT_EQ(bytes[34], 0xCD);
  EXPECT_EQ(bytes[35], 0xAB);
  EXPECT_EQ(bytes[36], 1);
  EXPECT_EQ(bytes[36 + 141], 2);
  EXPECT_EQ(bytes[36 + 142], 0x55);
  EXPECT_EQ(bytes[36 + 284 + 70], 255);
  EXPECT_EQ(CChaseFile::Parse(bytes), ThreeSteps());

  // The largest chase, 255 steps.
  const CChaseFile largest(5999, 6000, ManySteps(255));
  const std::vector<std::uint8_t> full = largest.Serialize();
  EXPECT_EQ(full.size(), 36u + 255 * 142);
  EXPECT_EQ(full[31], 255);
  EXPECT_EQ(CChaseFile::Parse(full), largest);
}

TEST(ChaseFileFormat, ReadingIgnoresTheHeaderAndTrailingBytes) {
  std::vector<std::uint8_t> bytes = ThreeSteps().Serialize();
  for (std::size_t i = 0; i < 31; ++i) {
    bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
  }
  bytes.insert(bytes.end(), 141, 0xEE);  // not quite a fourth step, and not counted anyway
  EXPECT_EQ(CChaseFile::Parse(bytes), ThreeSteps());
}

TEST(ChaseFileFormat, FileShorterThanItsStepsIsRefused) {
  const std::vector<std::uint8_t> bytes = ThreeSteps().Serialize();
  const std::vector<std::uint8_t> oneShort(bytes.begin(), bytes.end() - 1);
  const auto cut = CChaseFile::Parse(oneShort);
  ASSERT_FALSE(cut);
  EXPECT_NE(cut.error().message.find("3 steps"), std::string::npos) << cut.error().message;

  for (std::size_t size : {0, 1, 31, 35}) {
    const auto tiny = CChaseFile::Parse(std::span(bytes).first(size));
    ASSERT_FALSE(tiny) << size;
    EXPECT_FALSE(tiny.error().message.empty());
  }
  // Exactly the steps it announces is enough.
  EXPECT_TRUE(CChaseFile::Parse(std::span(bytes).first(36 + 3 * 142)));
  std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + 36);
  header[31] = 255;
  EXPECT_FALSE(CChaseFile::Parse(header));
}

TEST(ChaseFileStorage, SavedChaseLoadsBackExactly) {
  CScratchFolder folder;
  const CChaseFile chase(65535, 7000, ManySteps(255));  // settings beyond the sliders
  ASSERT_TRUE(chase.Save(folder / "show.zkc"));
  EXPECT_EQ(fs::file_size(folder / "show.zkc"), 36u + 255 * 142);
  const auto loaded = CChaseFile::Load(folder / "show.zkc");
  ASSERT_TRUE(loaded) << loaded.error().message;
  EXPECT_EQ(*loaded, chase);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.zkc"});

  // Saved over a longer chase, the file holds the new chase alone.
  const CChaseFile empty;
  ASSERT_TRUE(empty.Save(folder / "show.zkc"));
  EXPECT_EQ(ReadBytes(folder / "show.zkc"), empty.Serialize());
  EXPECT_EQ(CChaseFile::Load(folder / "show.zkc"), empty);
}

TEST(ChaseFileStorage, SavedOverAFileKeepsItsPermissions) {
  CScratchFolder folder;
  WriteBytes(folder / "keep.zkc", {1, 2, 3});
  fs::permissions(folder / "keep.zkc", fs::perms::owner_read | fs::perms::owner_write |
                                           fs::perms::group_read);
  ASSERT_TRUE(ThreeSteps().Save(folder / "keep.zkc"));
  EXPECT_EQ(fs::status(folder / "keep.zkc").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(ChaseFileStorage, LoadRefusesWhatIsNotACompleteChaseFile) {
  CScratchFolder folder;
  const fs::path missing = folder / "missing.zkc";
  const auto absent = CChaseFile::Load(missing);
  ASSERT_FALSE(absent);
  EXPECT_NE(absent.error().message.find("missing.zkc"), std::string::npos);
  EXPECT_FALSE(fs::exists(missing));  // reading never creates a file

  std::vector<std::uint8_t> bytes = ThreeSteps().Serialize();
  bytes.resize(bytes.size() - 100);
  WriteBytes(folder / "cut.zkc", bytes);
  const auto cut = CChaseFile::Load(folder / "cut.zkc");
  ASSERT_FALSE(cut);
  EXPECT_NE(cut.error().message.find("cut.zkc"), std::string::npos) << cut.error().message;

  WriteBytes(folder / "tiny.zkc", {1, 2, 3});
  EXPECT_FALSE(CChaseFile::Load(folder / "tiny.zkc"));

  fs::create_directory(folder / "folder.zkc");
  EXPECT_FALSE(CChaseFile::Load(folder / "folder.zkc"));
  ASSERT_EQ(::mkfifo((folder / "pipe.zkc").c_str(), 0600), 0);
  EXPECT_FALSE(CChaseFile::Load(folder / "pipe.zkc"));  // refused, not waited on
}

TEST(ChaseFileStorage, RefusedLoadChangesNothingInTheConsole) {
  CScratchFolder folder;
  auto data = std::make_unique<CConsoleData>();
  RecordChase(*data, {StepAll(9), StepAll(8)});
  data->Player().SetSpeed(12);
  std::vector<std::uint8_t> bytes = ThreeSteps().Serialize();
  bytes.pop_back();
  WriteBytes(folder / "cut.zkc", bytes);

  // The console applies a file only once it has been read whole.
  const auto loaded = CChaseFile::Load(folder / "cut.zkc");
  ASSERT_FALSE(loaded);
  EXPECT_EQ(data->Store().StepCount(), 2);
  EXPECT_EQ(data->Store().Slot(0), StepAll(9));
  EXPECT_EQ(data->Store().Slot(1), StepAll(8));
  EXPECT_EQ(data->Player().SpeedSetting(), 12);
  EXPECT_EQ(data->MakeChaseFile(), CChaseFile(12, 0, {StepAll(9), StepAll(8)}));
}

TEST(ChaseFileStorage, FailedSaveKeepsTheEarlierFile) {
  CScratchFolder folder;
  const fs::path target = folder / "show.zkc";
  ASSERT_TRUE(ThreeSteps().Save(target));
  const std::vector<std::uint8_t> before = ReadBytes(target);

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
  EXPECT_NE(tooBig.error().message.find("show.zkc"), std::string::npos) << tooBig.error().message;
  EXPECT_EQ(ReadBytes(target), before);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.zkc"});  // no temporary left

  // A folder that does not exist.
  const auto nowhere = ThreeSteps().Save(folder / "gone" / "show.zkc");
  ASSERT_FALSE(nowhere);
  EXPECT_FALSE(nowhere.error().message.empty());
  EXPECT_FALSE(fs::exists(folder / "gone"));

  // A folder in the way of the name.
  fs::create_directory(folder / "taken.zkc");
  ASSERT_FALSE(ThreeSteps().Save(folder / "taken.zkc"));
  EXPECT_TRUE(fs::is_directory(folder / "taken.zkc"));
  EXPECT_EQ(folder.Names().size(), 2u);

  // A folder without write permission (means nothing to the superuser).
  if (::geteuid() != 0) {
    fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(CChaseFile().Save(target));
    fs::permissions(folder.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(target), before);
  }
}
