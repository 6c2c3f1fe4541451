// Tests of reading and checking upgrade files.
#include "firmware/UpgradeFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "UpgradeImage.h"

namespace {

std::string ErrorOf(const std::vector<std::uint8_t>& bytes) {
  auto file = CUpgradeFile::Parse(bytes);
  return file ? std::string("(accepted)") : file.error().message;
}

}  // namespace

TEST(UpgradeFile, DecodesFileTagBlocksAndTransferTotal) {
  const auto image = CUpgradeImage({0xC1, 0xC2, 0xC3})
                         .Block({0x10, 0x20}, 2, 0xA1B2C3D4, Counting(5, 0x40))
                         .Block({0x11, 0x21}, 512, 7, {})
                         .Block({0x12, 0x22}, 300, 0x01020304, Counting(1000));
  auto file = CUpgradeFile::Parse(image.Bytes());
  ASSERT_TRUE(file) << file.error().message;

  EXPECT_EQ(file->FileTag(), (CUpgradeFile::CFileTag{0xC1, 0xC2, 0xC3}));
  EXPECT_EQ(file->TransferTotal(), 1005u);
  EXPECT_EQ(file->Bytes().size(), image.Bytes().size());
  ASSERT_EQ(file->BlockCount(), 3u);
  // Offset, length, chunk size, word and tag of each block.
  const auto fields = [&](std::size_t i) {
    const auto block = file->Block(i);
    return std::vector<std::size_t>{block.offset, block.length, block.chunkSize, block.word, block.tag[0], block.tag[1]};
  };
  EXPECT_EQ(fields(0), (std::vector<std::size_t>{41, 5, 2, 0xA1B2C3D4, 0x10, 0x20}));
  EXPECT_EQ(fields(1), (std::vector<std::size_t>{41 + 13 + 5, 0, 512, 7, 0x11, 0x21}));
  EXPECT_EQ(fields(2), (std::vector<std::size_t>{41 + 13 + 5 + 13, 1000, 300, 0x01020304, 0x12, 0x22}));
  const auto data = file->BlockData(file->Block(0));
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.end()), Counting(5, 0x40));
  EXPECT_TRUE(file->BlockData(file->Block(1)).empty());
  EXPECT_EQ(file->BlockData(file->Block(2)).back(), static_cast<std::uint8_t>(999));
}

TEST(UpgradeFile, AnythingButTheExactSignatureIsAFormatError) {
  const std::string kFormatError = "Upgrade file format error!";
  const auto good = CUpgradeImage().Block({1, 2}, 4, 0, Counting(4)).Bytes();
  ASSERT_TRUE(CUpgradeFile::Parse(good));
  EXPECT_EQ(ErrorOf({}), kFormatError);
  EXPECT_EQ(ErrorOf({good.begin(), good.begin() + 37}), kFormatError);  // one byte short of the signature
  for (const std::size_t at : {0u, 12u, 35u, 36u, 37u}) {
    auto bad = good;
    bad[at] ^= 0x20;
    EXPECT_EQ(ErrorOf(bad), kFormatError) << "byte " << at;
  }
}

TEST(UpgradeFile, RefusesFileWithoutAnyBlock) {
  const auto header = CUpgradeImage().Bytes();
  ASSERT_EQ(header.size(), 41u);
  EXPECT_EQ(ErrorOf(header), "Upgrade file holds no firmware block.");
  // The signature alone, or a partial file tag.
  for (const std::size_t size : {38u, 40u}) {
    EXPECT_EQ(ErrorOf({header.begin(), header.begin() + static_cast<std::ptrdiff_t>(size)}),
              "Upgrade file is damaged: it ends inside its file tag.");
  }
}

TEST(UpgradeFile, RefusesBlockChainThatDoesNotEndAtTheEndOfTheFile) {
  const auto twoBlocks = CUpgradeImage().Block({1, 1}, 8, 0, Counting(8)).Block({2, 2}, 8, 0, Counting(20));
  ASSERT_TRUE(CUpgradeFile::Parse(twoBlocks.Bytes()));
  // The second block's data is one byte short.
  auto shortData = twoBlocks.Bytes();
  shortData.pop_back();
  EXPECT_EQ(ErrorOf(shortData),
            "Upgrade file is damaged: block 2 runs past the end of the file (it holds 20 bytes, 19 are left).");
  // Bytes left over after the last block are too few for another block header.
  for (std::size_t extra = 1; extra < 13; ++extra)
    EXPECT_EQ(ErrorOf(CUpgradeImage(twoBlocks).Raw(std::vector<std::uint8_t>(extra, 0)).Bytes()),
              "Upgrade file is damaged: the header of block 3 runs past the end of the file.")
        << extra << " bytes left over";
  // Thirteen zero bytes left over are a well-formed empty block, not damage.
  EXPECT_TRUE(CUpgradeFile::Parse(CUpgradeImage(twoBlocks).Raw(std::vector<std::uint8_t>(13, 0)).Bytes()));
  // Lengths that would wrap a 32-bit offset (13 + L = 2^32) or run far past the end.
  for (const std::uint32_t length : {0xFFFFFFF3u, 0xFFFFFFFFu, 0x80000000u}) {
    EXPECT_EQ(ErrorOf(CUpgradeImage().Block({1, 1}, 8, 0, Counting(16), length).Bytes()), "Upgrade file is damaged: block 1 runs past the end of the file (it holds " +
                         std::to_string(length) + " bytes, 16 are left).");
  }
}

TEST(UpgradeFile, RefusesChunkSizesThatCannotCarryTheBlock) {
  EXPECT_EQ(ErrorOf(CUpgradeImage().Block({1, 1}, 8, 0, Counting(8)).Block({2, 2}, 513, 0, Counting(600)).Bytes()),
            "Upgrade file is damaged: block 2 has a chunk size of 513 bytes; a frame carries at most 512.");
  EXPECT_EQ(ErrorOf(CUpgradeImage().Block({1, 1}, 0, 0, Counting(3)).Bytes()),
            "Upgrade file is damaged: block 1 has a chunk size of 0 but holds 3 bytes.");
  // The limits themselves are fine, and a block without data never uses its chunk size.
  for (const auto& [chunk, size] : std::vector<std::pair<std::uint16_t, std::size_t>>{{512, 1500}, {1, 3}, {0, 0}, {0xFFFF, 0}})
    EXPECT_TRUE(CUpgradeFile::Parse(CUpgradeImage().Block({1, 1}, chunk, 0, Counting(size)).Bytes())) << chunk;
}

TEST(UpgradeFile, ReadsWholeFileFromPathAndNamesPathOnOpenFailure) {
  const std::string dir = testing::TempDir() + "upgrade_file_test_" + std::to_string(::getpid());
  std::filesystem::create_directories(dir);
  const auto image = CUpgradeImage().Block({1, 2}, 100, 9, Counting(250));
  const std::string path = WriteFile(dir + "/fw.zku", image.Bytes());
  auto file = CUpgradeFile::Read(path);
  ASSERT_TRUE(file) << file.error().message;
  EXPECT_EQ(file->TransferTotal(), 250u);
  EXPECT_TRUE(std::ranges::equal(file->Bytes(), image.Bytes()));
  // Checks apply to files read from disk too.
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "not an upgrade file";
  EXPECT_EQ(CUpgradeFile::Read(path).error().message, "Upgrade file format error!");
  // A file too large for the progress count is refused before it is read (a sparse file here).
  ASSERT_EQ(::truncate(path.c_str(), 0x80000000LL), 0);
  EXPECT_EQ(CUpgradeFile::Read(path).error().message,
            "Upgrade file is too large: 2147483648 bytes; at most 2147483647 bytes can be sent.");

  EXPECT_EQ(CUpgradeFile::Read(dir + "/missing.zku").error().message, "\"" + dir + "/missing.zku\" open error!");
  EXPECT_EQ(CUpgradeFile::Read(dir).error().message, "\"" + dir + "\" open error!");
  std::filesystem::remove_all(dir);
}
