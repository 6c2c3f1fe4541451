// The pcap capture: byte layout, and failures that never hold up the line (the scenarios decode captures with tshark).
#include "link/CaptureWriter.h"
#include "link/DmxLine.h"
#include "support/FakeFileWrites.h"
#include "support/RecordingLink.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>


#include <filesystem>
#include <string>
#include <vector>

TEST(CaptureWriter, WritesClassicPcapWithExportedPduRecords) {
  const CTempFolder folder;
  const std::string path = folder / "layout.pcap";
  {
    auto writer = CCaptureWriter::Create(path);
    ASSERT_TRUE(writer) << writer.error().message;
    (*writer)->Write(CDmxFrame{3'000'042, 0xF9, 6, {0x01, 0x02, 0xFF}});
    (*writer)->Write(CDmxFrame{-5, 0x00, 0, {0x80}});
    EXPECT_FALSE((*writer)->Close());
  }
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
  EXPECT_EQ(ReadFile<std::vector<std::uint8_t>>(path), expected);
}

TEST(ThreadedCaptureWriter, FailuresStopItOnceKeepTheCompleteRecordsAndNeverHoldUpTheLine) {
  // Refused at the start, naming the file (a FIFO that no program reads: the capture scenario).
  const CTempFolder folder;
  const std::string missing = folder / "none/x.pcap";
  EXPECT_EQ(CCaptureWriter::Create(missing).error().message,
            "Cannot create the capture file \"" + missing + "\": No such file or directory");

  // A disk that takes the header and one and a half records, then refuses (a size limit), and a
  // reader that takes as much and stops reading: the line goes on, the failure is told once, and the
  // torn second record is taken off again.
  const CDmxFrame frame{0, 0, 0, std::vector<std::uint8_t>(100, 0x11)};
  const std::size_t record = 16 + CCaptureWriter::RecordData(frame).size();
  for (const auto& [error, reason] :
       {std::pair{EFBIG, "File too large"},
        {EAGAIN, "writing it fell more than 2 s behind the DMX line (has the program reading it stopped?)"}}) {
    CFakeFileWrites disk(24 + record + record / 2, error);
    const std::string path = folder / std::to_string(error);
    std::vector<std::string> told;
    CRecordingLink link;
    link.Line().SetCapture(CCaptureWriter::Create(path, disk).value(),
                           [&](const CError& failure) { told.push_back(failure.message); });
    link.DmxLinkSetMode(kLinkMark, 0, 0, 100);
    for (int i = 0; i < 1000; ++i) link.DmxLinkTransmitStart();
    EXPECT_EQ(link.Frames().size(), 1000u);
    const auto failure = link.Line().CloseCapture();
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message, "The capture file \"" + path + "\" could not be written: " + reason);
    EXPECT_EQ(told, std::vector<std::string>{failure->message});
    EXPECT_EQ(std::filesystem::file_size(path), 24 + record);
  }
}
