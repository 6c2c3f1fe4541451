// The library calls reach the process-wide line, which logs them as given.
#include "link/DmxLink.h"
#include "link/DmxLine.h"
#include "outputs/VirtualOutput.h"

#include <gtest/gtest.h>

#include <array>

TEST(DmxLink, EachCallForwardsToTheLineAndIsLoggedWithItsArguments) {
  CDmxLine& line = CDmxLine::Instance();
  line.Reset();
  EXPECT_NE(DmxLinkOpen(0x8888, 0x0101), 0);  // no output at all
  line.SetOutput(std::make_unique<CVirtualOutput>(kVirtualModelA));
  line.SetRecording(true);

  EXPECT_NE(DmxLinkOpen(0x8888, 0x0102), 0);
  EXPECT_EQ(DmxLinkOpen(0x8888, 0x0101), 0);
  EXPECT_EQ(DmxLinkSetMode(0xA5, 0xFD, 0, 512), 0);
  std::array<std::uint8_t, kPageSize> page;
  page.fill(0x21);
  EXPECT_EQ(DmxLinkTransmitSetPageValue(3, page.data()), 0);
  page.fill(0x22);  // the log keeps the page as it was at the call
  EXPECT_EQ(DmxLinkTransmitSetChannelValue(0, 0x144), 0);
  EXPECT_EQ(DmxLinkTransmitStart(), 0);
  EXPECT_EQ(DmxLinkTransmitStartWithPageValue(1, page.data()), 0);
  EXPECT_EQ(DmxLinkTransmitStartWithChannelValue(511, 0x45), 0);
  EXPECT_EQ(DmxLinkStandBy(), 0);
  DmxLinkTransmitStart();

  const auto calls = line.Calls();
  std::vector<ELinkCall> kinds;
  std::vector<std::array<std::int32_t, 4>> args;
  for (const CLinkCall& call : calls) {
    kinds.push_back(call.call);
    args.push_back(call.args);
  }
  using enum ELinkCall;
  EXPECT_EQ(kinds, (std::vector{Open, Open, SetMode, SetPageValue, SetChannelValue, Start, StartWithPageValue,
                                StartWithChannelValue, StandBy, Start}));
  EXPECT_EQ(args, (std::vector<std::array<std::int32_t, 4>>{
                      {0x8888, 0x0102}, {0x8888, 0x0101}, {0xA5, 0xFD, 0, 512}, {3}, {0, 0x144}, {}, {1}, {511, 0x45}, {}, {}}));
  EXPECT_EQ(calls[3].page, std::vector<std::uint8_t>(kPageSize, 0x21));
  EXPECT_TRUE(calls[4].page.empty());
  EXPECT_EQ(calls[6].page, std::vector<std::uint8_t>(kPageSize, 0x22));

  const auto frames = line.Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].startCode, 0xFD);
  EXPECT_EQ(frames[0].slots[0], 0x44);
  EXPECT_EQ(frames[0].slots[3 * kPageSize], 0x21);
  EXPECT_EQ(frames[1].slots[kPageSize], 0x22);
  EXPECT_EQ(frames[2].slots[511], 0x45);
  EXPECT_TRUE(line.Status().standBy);
  EXPECT_EQ(line.Status().outputName, "virtual:0x0101");
  line.Reset();
}
