// Tests of reading and checking upgrade files: what cannot be sent is refused with a message.
#include "firmware/UpgradeFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

#include <fstream>
#include <functional>

#include "UpgradeSamples.h"

TEST(UpgradeFile, RefusesWhatCannotBeSentAndSaysWhy) {
  const CBytes good = CUpgradeImage().Block({1, 1}, 8, 0, CBytes(8, 1)).Block({2, 2}, 8, 0, CBytes(20, 2)).bytes;
  const auto errorWith = [&](const std::function<void(CBytes&)>& change) {
    CBytes bytes = good;
    change(bytes);
    auto file = CUpgradeFile::Parse(bytes);
    return file ? std::string("(accepted)") : file.error().message;
  };
  const std::string format = "Upgrade file format error!", damaged = "Upgrade file is damaged: ";
  for (const std::size_t at : {0u, 35u, 36u, 37u})
    EXPECT_EQ(errorWith([at](CBytes& b) { b[at] ^= 0x20; }), format) << "signature byte " << at;
  EXPECT_EQ(errorWith([](CBytes& b) { b.resize(37); }), format);
  EXPECT_EQ(errorWith([](CBytes& b) { b.resize(40); }), damaged + "it ends inside its file tag.");
  EXPECT_EQ(errorWith([](CBytes& b) { b.resize(41); }), "Upgrade file holds no firmware block.");
  // Chains that miss the end of the file: short data, bytes left over too few for a block header.
  EXPECT_EQ(errorWith([](CBytes& b) { b.pop_back(); }),
            damaged + "block 2 runs past the end of the file (it holds 20 bytes, 19 are left).");
  EXPECT_EQ(errorWith([](CBytes& b) { b.resize(b.size() + 12); }),
            damaged + "the header of block 3 runs past the end of the file.");
  EXPECT_EQ(errorWith([](CBytes& b) { WriteU16Le(b, 68, 513); }),
            damaged + "block 2 has a chunk size of 513 bytes; a frame carries at most 512.");
  EXPECT_EQ(errorWith([](CBytes& b) { WriteU16Le(b, 47, 0); }),
            damaged + "block 1 has a chunk size of 0 but holds 8 bytes.");
  // The limits themselves are fine, and a block without data never uses its chunk size.
  EXPECT_EQ(errorWith([](CBytes& b) { WriteU16Le(b, 47, 512); }), "(accepted)");
  EXPECT_EQ(errorWith([](CBytes& b) { b.resize(b.size() + 13); WriteU16Le(b, b.size() - 7, 0xFFFF); }), "(accepted)");

  // Large files (sparse ones here) are judged by their signature, then by their length, before
  // anything more is read: a wrong file, and one too large for the progress count.
  const CTempFolder folder;
  const std::string path = folder / "large.zku";
  for (const bool signed_ : {false, true}) {
    std::ofstream(path) << (signed_ ? std::string(good.begin(), good.begin() + 38) : "");
    ASSERT_EQ(::truncate(path.c_str(), 0x80000000LL), 0);
    EXPECT_EQ(CUpgradeFile::Read(path).error().message,
              signed_ ? "Upgrade file is too large: 2147483648 bytes; at most 2147483647 bytes can be sent." : format);
  }

  // A FIFO is refused at once as a file that cannot be opened: the test fails rather than hangs if it waits.
  const std::string fifo = folder / "pipe.zku";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reading = std::async(std::launch::async, [&fifo] { return CUpgradeFile::Read(fifo); });
  if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    std::ofstream{fifo};  // lets the waiting reader go on
    FAIL() << "reading a FIFO waited for a writer";
  }
  EXPECT_EQ(reading.get().error().message, "\"" + fifo + "\" open error!");
}
