// The eight library calls, each handed to the process-wide line.
#include "link/DmxLink.h"

#include "link/DmxLine.h"

std::int32_t DmxLinkOpen(std::int32_t id, std::int32_t model) { return CDmxLine::Instance().Open(id, model); }

std::int32_t DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval, std::int32_t length) {
  return CDmxLine::Instance().SetMode(mark, startCode, interval, length);
}

std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) {
  return CDmxLine::Instance().SetPageValue(page, data);
}

std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value) {
  return CDmxLine::Instance().SetChannelValue(channel, value);
}

std::int32_t DmxLinkTransmitStart() { return CDmxLine::Instance().Start(); }

std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data) {
  return CDmxLine::Instance().StartWithPageValue(page, data);
}

std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value) {
  return CDmxLine::Instance().StartWithChannelValue(channel, value);
}

std::int32_t DmxLinkStandBy() { return CDmxLine::Instance().StandBy(); }
