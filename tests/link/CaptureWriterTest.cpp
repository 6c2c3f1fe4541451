// The pcap capture: byte layout, write failures, and decoding by tshark.
#include "link/CaptureWriter.h"
#include "link/DmxLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "vexmira_" + name; }

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string RunCommand(const std::string& command) {
  std::string output;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    pclose(pipe);
  }
  return output;
}

}  // namespace

TEST(CaptureWriter, WritesClassicPcapWithExportedPduRecords) {
  const std::string path = TempPath("layout.pcap");
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
  std::filesystem::remove(path);
}

TEST(CaptureWriter, UnwritablePlacesAreReported) {
  auto missing = CCaptureWriter::Create("/nonexistent-folder/x.pcap");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().message.find("\"/nonexistent-folder/x.pcap\""), std::string::npos)
      << missing.error().message;

  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full to fail writes";
  auto full = CCaptureWriter::Create("/dev/full");
  ASSERT_TRUE(full) << full.error().message;  // the header is still buffered
  const CDmxFrame frame{0, 0, 0, std::vector<std::uint8_t>(559, 0x11)};
  for (int i = 0; i < 100; ++i) (*full)->Write(frame);  // goes on after the first failure
  (*full)->Flush();
  ASSERT_TRUE((*full)->Error());
  EXPECT_NE((*full)->Error()->message.find("/dev/full"), std::string::npos) << (*full)->Error()->message;
}

TEST(CaptureWriter, TsharkDecodesTheFramesAsDmx) {
  if (std::system("tshark --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "tshark is not installed";
  const std::string path = TempPath("tshark.pcap");
  {
    CDmxLine line;
    std::int64_t now = 1'500'000;
    line.SetClock([&now] { return now; });
    auto writer = CCaptureWriter::Create(path);
    ASSERT_TRUE(writer) << writer.error().message;
    line.SetCapture(std::move(*writer));
    line.DmxLinkTransmitStart();  // stand-by: nothing goes on the line nor into the capture
    line.DmxLinkSetMode(kLinkMark, 0x00, 0, 4);
    line.DmxLinkTransmitSetChannelValue(0, 0x0A);
    line.DmxLinkTransmitSetChannelValue(3, 0xFF);
    line.DmxLinkTransmitStart();
    now += 25'000;
    line.DmxLinkSetMode(kLinkMark, 0xF9, 6, 3);
    line.DmxLinkTransmitStartWithChannelValue(1, 0x7E);
    now += 25'000;
    line.DmxLinkSetMode(kLinkMark, 0x00, 0, 512);
    line.DmxLinkTransmitStartWithChannelValue(511, 0x01);
    line.Flush(std::chrono::milliseconds(100));
    EXPECT_FALSE(line.CaptureError());
  }  // the line's end closes the capture
  const std::string tshark = "tshark -r '" + path + "' -T fields ";
  // Level frames go to the channel dissector, which shows the start code byte ahead of the slots;
  // other start codes leave the slots as plain data.
  const std::string expected = "0x00\t000a0000ff\t\n"
                               "0xf9\t\t0a7e00\n"
                               "0x00\t000a7e00ff" + std::string(2 * 507, '0') + "01\t\n";
  EXPECT_EQ(RunCommand(tshark + "-e dmx.start_code -e dmx_chan.data_filter -e data.data 2>/dev/null"), expected);
  EXPECT_EQ(RunCommand(tshark + "-e frame.time_epoch 2>/dev/null"), "1.500000000\n1.525000000\n1.550000000\n");
  std::filesystem::remove(path);
}
