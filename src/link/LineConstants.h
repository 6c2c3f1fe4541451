// The numbers of the DMX line that the tools, the line and the outputs share.
#pragma once
#include <cstdint>

// The first argument of every DmxLinkSetMode call.
inline constexpr std::int32_t kLinkMark = 0xA5;

// The frame image is handed over in transmit pages of 142 slots; page p starts at slot 142 p + 1.
inline constexpr int kPageSize = 142;
inline constexpr int kPageCount = 4;
// Four whole pages: 568 bytes, of which only the mode's length belongs to a frame.
inline constexpr int kImageSize = kPageSize * kPageCount;

// Slots of a full DMX512 frame (level frames and most command frames).
inline constexpr int kUniverseSlots = 512;
// A mode's length runs from kMinSlots to kMaxSlots; upgrade frames are the longest.
inline constexpr int kMinSlots = 1;
inline constexpr int kMaxSlots = 559;

// DmxLinkOpen's identifier pair: one interface id, two models. The program tries the Pro
// widget's model first, then the open-DMX adapter's.
inline constexpr std::int32_t kInterfaceId = 0x8888;
inline constexpr std::int32_t kProWidgetModel = 0x0102;
inline constexpr std::int32_t kOpenDmxModel = 0x0101;
