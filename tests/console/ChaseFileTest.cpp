// Chase files: the byte layout, and refusing what is no chase file (saving itself: SafeFileWriteTest).
#include "ConsoleTestSupport.h"
#include "console/ChaseFile.h"
#include "support/TempFolder.h"

static const CChaseFile kThree(0x1234, 0xABCD, {StepWith({{0, 1}, {141, 2}}), StepAll(0x55), StepWith({{70, 255}})});

static CChaseFile Many(std::size_t count) {
  std::vector<CChaseStep> steps(count);
  for (std::size_t s = 0; s < count; ++s) steps[s] = StepWith({{0, static_cast<std::uint8_t>(s)}, {141, 7}});
  return CChaseFile(5999, 6000, std::move(steps));
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

TEST(ChaseFile, SavedOverAnotherLoadsBackExactlyAndWhatIsNoChaseFileIsRefusedWithItsName) {
  const CTempFolder folder;
  const auto path = folder / "show.zkc";
  ASSERT_TRUE(Many(255).Save(path) && kThree.Save(path));
  EXPECT_TRUE(CChaseFile::Load(path) == kThree && std::filesystem::file_size(path) == 36u + 3 * 142);
  std::filesystem::create_directory(folder / "taken.zkc");
  EXPECT_EQ(kThree.Save(folder / "taken.zkc").error().message,
            "Could not save the chase file \"" + (folder / "taken.zkc").string() + "\": it is not a file.");

  // Loading refuses what is not a whole chase file, and never creates one (a FIFO: UpgradeFileTest).
  EXPECT_NE(CChaseFile::Load(folder / "missing.zkc").error().message.find("missing.zkc"), std::string::npos);
  std::filesystem::resize_file(path, 36 + 2 * 142 + 70);
  EXPECT_EQ(CChaseFile::Load(path).error().message, "The file \"" + path.string() + "\" is not a chase file: its "
            "header says it holds 3 steps (462 bytes), but it is only 390 bytes long. Nothing was loaded.");
  EXPECT_FALSE(CChaseFile::Load(folder / "taken.zkc"));
  EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(folder.Path())), 2);
}
