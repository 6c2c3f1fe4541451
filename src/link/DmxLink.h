// The eight calls of the DMX interface library, as the tools use them.
#pragma once
#include <cstdint>

// Each call forwards to the process-wide line (CDmxLine::Instance()).
// Only DmxLinkOpen's result means anything to callers: 0 is success.
std::int32_t DmxLinkOpen(std::int32_t id, std::int32_t model);
// Sets start code, interval and slot count for later starts and ends stand-by.
// Returns 0, or non-zero when the output cannot send frames of that length; the line then
// keeps its previous mode but stands by.
std::int32_t DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval, std::int32_t length);
// Copies 142 bytes from data into transmit page `page` (0 to 3) of the frame image.
std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data);
// Sets one slot; channel counts from 0 (slot 1).
std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value);
// Puts the frame image on the line once, in the current mode (nothing during stand-by).
std::int32_t DmxLinkTransmitStart();
std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data);
std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value);
// Stops sending until the next DmxLinkSetMode.
std::int32_t DmxLinkStandBy();
