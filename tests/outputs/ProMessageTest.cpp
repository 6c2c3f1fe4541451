// Pro-widget message framing and the parsing of replies.
#include "outputs/ProMessage.h"

#include <gtest/gtest.h>

#include <vector>

using Bytes = std::vector<std::uint8_t>;

TEST(ProMessage, EncodesLabelLengthLittleEndianDataAndEnd) {
  EXPECT_EQ(CProMessage::Encode(10, {}), (Bytes{0x7E, 0x0A, 0x00, 0x00, 0xE7}));
  EXPECT_EQ(CProMessage::Encode(6, Bytes{0xFC, 0x12, 0x34}), (Bytes{0x7E, 0x06, 0x03, 0x00, 0xFC, 0x12, 0x34, 0xE7}));
  Bytes full{0x7E, 0x06, 0x01, 0x02};  // 513 = 0x0201
  full.insert(full.end(), 513, 0x55);
  full.push_back(0xE7);
  EXPECT_EQ(CProMessage::Encode(6, Bytes(513, 0x55)), full);
}

TEST(ProMessage, TakesWholeMessagesOutOfNoiseAndWaitsForTheRest) {
  // Noise, a false start byte, a received-DMX report, then a serial-number reply cut in two.
  Bytes received{0x00, 0x7E, 0x7E, 0x05, 0x02, 0x00, 0x00, 0x11, 0xE7, 0x7E, 0x0A, 0x04};
  auto first = CProMessage::Take(received);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->label, 5);
  EXPECT_EQ(first->data, (Bytes{0x00, 0x11}));
  EXPECT_FALSE(CProMessage::Take(received));  // the reply is not all here yet
  EXPECT_EQ(received, (Bytes{0x7E, 0x0A, 0x04}));
  received.insert(received.end(), {0x00, 0x78, 0x56, 0x34, 0x12, 0xE7, 0x7E});
  auto second = CProMessage::Take(received);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->label, 10);
  EXPECT_EQ(second->data, (Bytes{0x78, 0x56, 0x34, 0x12}));
  EXPECT_EQ(received, (Bytes{0x7E}));  // the start of whatever comes next stays

  // A start byte whose length runs past the end does not hide a whole message after it.
  Bytes masked{0x7E, 0x0A, 0x50, 0x00, 0x7E, 0x0A, 0x00, 0x00, 0xE7};
  auto found = CProMessage::Take(masked);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->label, 10);
  EXPECT_TRUE(found->data.empty());
  EXPECT_TRUE(masked.empty());

  Bytes noise{0x01, 0x02, 0xE7};
  EXPECT_FALSE(CProMessage::Take(noise));
  EXPECT_TRUE(noise.empty());
}
