// Test helper: upgrade files assembled block by block, and upgrade frames built as the tests expect them.
#pragma once
#include "base/LittleEndian.h"
#include "firmware/UpgradeFrameBuilder.h"

#include <array>
#include <functional>
#include <string_view>
#include <vector>

using CBytes = std::vector<std::uint8_t>;
using CBuffer = CUpgradeFrameBuilder::CBuffer;
using CTag = CUpgradeFrameBuilder::CBlockTag;

struct CUpgradeImage {
  CBytes bytes;

  explicit CUpgradeImage(std::array<std::uint8_t, 3> fileTag = {0x01, 0x02, 0x03}) {
    constexpr std::string_view kText = "Zelkar product firmware upgrade file";
    bytes.assign(kText.begin(), kText.end());
    bytes.insert(bytes.end(), {0x00, 0x0A, fileTag[0], fileTag[1], fileTag[2]});
  }
  // A block with the reserved header byte 0x5A.
  CUpgradeImage& Block(CTag tag, std::uint16_t chunkSize, std::uint32_t word, const CBytes& data) {
    bytes.insert(bytes.end(), {tag[0], tag[1]});
    AppendLe(bytes, data.size(), 4);
    AppendLe(bytes, chunkSize, 2);
    bytes.push_back(0x5A);
    AppendLe(bytes, word, 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
};

// Frames built on a buffer full of junk, so that a builder that forgets to clear it is caught;
// file tag 1 2 3 unless said.
inline CBuffer Built(const std::function<void(CBuffer&)>& build) {
  CBuffer frame;
  frame.fill(0xEE);
  build(frame);
  return frame;
}
inline CBuffer Data(CTag tag, std::uint32_t offset, const CBytes& chunk,
                    CUpgradeFrameBuilder::CFileTag file = {1, 2, 3}) {
  return Built([&](CBuffer& f) { CUpgradeFrameBuilder(file).BuildData(f, tag, offset, chunk); });
}
inline CBuffer End(CTag tag, std::uint32_t length, std::uint32_t word) {
  return Built([&](CBuffer& f) { CUpgradeFrameBuilder({1, 2, 3}).BuildBlockEnd(f, tag, length, word); });
}
inline CBuffer Idle() { return Built(&CUpgradeFrameBuilder::BuildIdle); }
