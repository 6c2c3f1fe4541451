// The pcap capture: byte layout and write failures (the scenarios decode captures with tshark).
#include "link/CaptureWriter.h"
#include "link/DmxLine.h"
#include "support/RecordingLink.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(CaptureWriter, WritesClassicPcapWithExportedPduRecords) {
  const CTempFolder folder;
  const std::string path = folder / "layout.pcap";
  {
    auto writer = CCaptureWriter::Create(path);
    ASSERT_TRUE(writer) << writer.error().message;
    (*writer)->Write(CDmxFrame{3'000'042, 0xF9, 6, {0x01, 0x02, 0xFF}});
    (*writer)->Write(CDmxFrame{-5, 0x00, 0, {0x80}});
    EXPECT_FALSE((*writer)->Error());
  }  // closing flushes
  const std::vector<std::uint8_t> expected = {
      0xD4, 0xC3, 0xB2, 0xA1, 0x02, 0x00, 0x04, 0x00,  // magic, version 2.4
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // zone, accuracy
      0xFF, 0xFF, 0x00, 0x00, 0xFC, 0x00, 0x00, 0x00,  // snap length 65535, link type 252
      0x03, 0x00, 0x00, 0x00, 0x2A, 0x00, 0x00, 0x00,  // 3 s, 42 us
      0x10, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00,  // 16 bytes kept, 16 on the wire
      0x00, 0x0C, 0x00, 0x04, 'd', 'm', 'x', 0x00,     // dissector name tag
      0x00, 0x00, 0x00, 0x00,                          // end tag
      0xF9, 0x01, 0x02, 0xFF,                          // start code, slots
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // a time before the origin reads as 0
      0x0E, 0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00,
      0x00, 0x0C, 0x00, 0x04, 'd', 'm', 'x', 0x00, 0x00, 0x00, 0x00, 0x00,
      0x00, 0x80,
  };
  EXPECT_EQ(ReadFile(path), expected);
}

TEST(CaptureWriter, TheFirstWriteFailureStopsTheCaptureAndKeepsTheCompleteRecords) {
  auto missing = CCaptureWriter::Create("/nonexistent-folder/x.pcap");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().message.find("\"/nonexistent-folder/x.pcap\""), std::string::npos)
      << missing.error().message;

  // The header alone does not fit: the writer exists but has failed, naming the file and the cause.
  auto full = CCaptureWriter::Create("/dev/full");
  ASSERT_TRUE(full) << full.error().message;
  ASSERT_TRUE((*full)->Error());
  EXPECT_EQ((*full)->Error()->message, "The capture file \"/dev/full\" could not be written: No space left on device");
  // On a line it is told once, and the line goes on.
  std::vector<std::string> told;
  CRecordingLink link;
  link.Line().SetCapture(std::move(*full), [&](const CError& error) { told.push_back(error.message); });
  link.DmxLinkSetMode(kLinkMark, 0, 0, 1);
  for (int i = 0; i < 3; ++i) link.DmxLinkTransmitStart();
  EXPECT_EQ(link.Frames().size(), 3u);
  EXPECT_EQ(told.size(), 1u);

  // A file that may grow to the header and one and a half records: the first record is kept whole,
  // the torn second one is taken off, and nothing more is tried.
  const CTempFolder folder;
  const std::string path = folder / "limit.pcap";
  const CDmxFrame frame{0, 0, 0, std::vector<std::uint8_t>(100, 0x11)};
  const rlim_t recordSize = 16 + CCaptureWriter::RecordData(frame).size();
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 24 + recordSize + recordSize / 2;
  setrlimit(RLIMIT_FSIZE, &limited);
  {
    auto writer = CCaptureWriter::Create(path);
    ASSERT_TRUE(writer && !(*writer)->Error());
    EXPECT_TRUE((*writer)->Write(frame));
    EXPECT_FALSE((*writer)->Write(frame));
    EXPECT_FALSE((*writer)->Write(frame));
    ASSERT_TRUE((*writer)->Error());
    EXPECT_NE((*writer)->Error()->message.find("File too large"), std::string::npos) << (*writer)->Error()->message;
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(std::filesystem::file_size(path), 24 + recordSize);
}
