// The eight calls of the DMX interface library: the seam between the tools and the line.
#pragma once
#include <cstdint>
#include <string>

// What a tool's engine talks to. The names, arguments and results are those of the interface
// library; only DmxLinkOpen's result means anything to callers (0 is success). The process's
// line (CDmxLine) implements it; tests use a recording one.
class CDmxLink {
 public:
  CDmxLink() = default;
  CDmxLink(const CDmxLink&) = delete;
  CDmxLink& operator=(const CDmxLink&) = delete;
  virtual ~CDmxLink() = default;

  virtual std::int32_t DmxLinkOpen(std::int32_t id, std::int32_t model) = 0;
  // Sets start code, interval and slot count for later starts and ends stand-by. Non-zero when
  // the output cannot send frames of that length; the line then keeps its previous mode but
  // stands by.
  virtual std::int32_t DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval,
                                      std::int32_t length) = 0;
  // Copies 142 bytes from data into transmit page `page` (0 to 3) of the frame image.
  virtual std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) = 0;
  // Sets one slot; channel counts from 0 (slot 1).
  virtual std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value) = 0;
  // Puts the frame image on the line once, in the current mode (nothing during stand-by).
  virtual std::int32_t DmxLinkTransmitStart() = 0;
  virtual std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data) = 0;
  virtual std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value) = 0;
  // Stops sending until the next DmxLinkSetMode.
  virtual std::int32_t DmxLinkStandBy() = 0;

  // Not a library call: why the last DmxLinkSetMode was refused, in words a user can read;
  // empty if it was not.
  virtual std::string LastError() const = 0;
};

// Hands a 568-byte frame image to the link as its four transmit pages, page 0 first.
void HandOverPages(CDmxLink& link, const std::uint8_t* image);

// The same calls as free functions, each handed to the process's line (CDmxLine::Instance()).
std::int32_t DmxLinkOpen(std::int32_t id, std::int32_t model);
std::int32_t DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval, std::int32_t length);
std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data);
std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value);
std::int32_t DmxLinkTransmitStart();
std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data);
std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value);
std::int32_t DmxLinkStandBy();
