// The library calls reach the process-wide line.
#include "link/DmxLink.h"
#include "link/DmxLine.h"
#include "link/VirtualOutput.h"

#include <gtest/gtest.h>

#include <array>

TEST(DmxLink, EachCallForwardsToTheLine) {
  CDmxLine& line = CDmxLine::Instance();
  line.Reset();
  line.SetOutput(std::make_unique<CVirtualOutput>(kVirtualModelA));
  line.SetRecording(true);

  EXPECT_NE(DmxLinkOpen(0x8888, 0x0102), 0);
  EXPECT_EQ(DmxLinkOpen(0x8888, 0x0101), 0);
  EXPECT_EQ(DmxLinkSetMode(0xA5, 0xFD, 0, 512), 0);
  std::array<std::uint8_t, kPageSize> page;
  page.fill(0x21);
  EXPECT_EQ(DmxLinkTransmitSetPageValue(3, page.data()), 0);
  EXPECT_EQ(DmxLinkTransmitSetChannelValue(0, 0x44), 0);
  EXPECT_EQ(DmxLinkTransmitStart(), 0);
  page.fill(0x22);
  EXPECT_EQ(DmxLinkTransmitStartWithPageValue(1, page.data()), 0);
  EXPECT_EQ(DmxLinkTransmitStartWithChannelValue(511, 0x45), 0);
  EXPECT_EQ(DmxLinkStandBy(), 0);
  DmxLinkTransmitStart();

  std::vector<ELinkCall> calls;
  for (const CLinkCall& call : line.Calls()) calls.push_back(call.call);
  using enum ELinkCall;
  EXPECT_EQ(calls, (std::vector{Open, Open, SetMode, SetPageValue, SetChannelValue, Start, StartWithPageValue,
                                StartWithChannelValue, StandBy, Start}));
  const auto frames = line.Frames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].startCode, 0xFD);
  EXPECT_EQ(frames[0].slots[0], 0x44);
  EXPECT_EQ(frames[0].slots[3 * kPageSize], 0x21);
  EXPECT_EQ(frames[0].slots[kPageSize], 0x00);
  EXPECT_EQ(frames[1].slots[kPageSize], 0x22);
  EXPECT_EQ(frames[2].slots[511], 0x45);
  EXPECT_TRUE(line.Status().standBy);
  line.Reset();
}
