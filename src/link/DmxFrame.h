// One frame as it is put on the line, and the mode frames are sent in.
#pragma once
#include "link/LineConstants.h"

#include <cstdint>
#include <vector>

struct CDmxMode {
  int mark = kLinkMark;
  int startCode = 0;
  int interval = 0;
  int length = 512;
  bool operator==(const CDmxMode&) const = default;
};

struct CDmxFrame {
  std::int64_t timeUs = 0;  // time the start call was made, on the line's clock
  std::uint8_t startCode = 0;
  int interval = 0;
  std::vector<std::uint8_t> slots;  // slot 1 first; `length` of them

  // The start code followed by the slots, as they follow the break on the wire.
  std::vector<std::uint8_t> StartCodeAndSlots() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(slots.size() + 1);
    bytes.push_back(startCode);
    bytes.insert(bytes.end(), slots.begin(), slots.end());
    return bytes;
  }
};
