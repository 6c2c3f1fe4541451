// The free library calls, each handed to the process's line, and the page hand-over.
#include "link/DmxLink.h"

#include "link/DmxLine.h"
#include "link/LineConstants.h"

void HandOverPages(CDmxLink& link, const std::uint8_t* image) {
  for (int page = 0; page < kPageCount; ++page) link.DmxLinkTransmitSetPageValue(page, image + page * kPageSize);
}

std::int32_t DmxLinkOpen(std::int32_t id, std::int32_t model) { return CDmxLine::Instance().DmxLinkOpen(id, model); }

std::int32_t DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval, std::int32_t length) {
  return CDmxLine::Instance().DmxLinkSetMode(mark, startCode, interval, length);
}

std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) {
  return CDmxLine::Instance().DmxLinkTransmitSetPageValue(page, data);
}

std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value) {
  return CDmxLine::Instance().DmxLinkTransmitSetChannelValue(channel, value);
}

std::int32_t DmxLinkTransmitStart() { return CDmxLine::Instance().DmxLinkTransmitStart(); }

std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data) {
  return CDmxLine::Instance().DmxLinkTransmitStartWithPageValue(page, data);
}

std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value) {
  return CDmxLine::Instance().DmxLinkTransmitStartWithChannelValue(channel, value);
}

std::int32_t DmxLinkStandBy() { return CDmxLine::Instance().DmxLinkStandBy(); }
