// Test helper: upgrade file bytes assembled block by block.
#pragma once
#include "base/LittleEndian.h"

#include <array>
#include <string_view>
#include <vector>

using CBytes = std::vector<std::uint8_t>;

struct CUpgradeImage {
  CBytes bytes;

  explicit CUpgradeImage(std::array<std::uint8_t, 3> fileTag = {0x01, 0x02, 0x03}) {
    constexpr std::string_view kText = "Zelkar product firmware upgrade file";
    bytes.assign(kText.begin(), kText.end());
    bytes.insert(bytes.end(), {0x00, 0x0A, fileTag[0], fileTag[1], fileTag[2]});
  }
  // A block with the reserved header byte 0x5A.
  CUpgradeImage& Block(std::array<std::uint8_t, 2> tag, std::uint16_t chunkSize, std::uint32_t word, const CBytes& data) {
    bytes.insert(bytes.end(), {tag[0], tag[1]});
    AppendLe(bytes, data.size(), 4);
    AppendLe(bytes, chunkSize, 2);
    bytes.push_back(0x5A);
    AppendLe(bytes, word, 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
};
