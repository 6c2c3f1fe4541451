// Upgrade frames (start code 0xF9, 559 slots): data, block end and idle frames with their check bytes.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/LineConstants.h"

// Builds each frame from an all-zero buffer of four whole transmit pages, so that the frame can be
// handed to the line page by page. Bytes 559 to 567 of the buffer stay zero.
class CUpgradeFrameBuilder final {
 public:
  // An upgrade frame fills the longest mode the line has.
  static constexpr int kFrameLength = kMaxSlots;
  static constexpr std::size_t kMaxPayload = 512;

  // Frame byte offsets.
  static constexpr std::size_t kPayloadAt = 12;
  static constexpr std::size_t kHeaderCheckAt = 524;
  static constexpr std::size_t kLineChecksAt = 525;
  static constexpr std::size_t kLineCount = 32;  // line checks, one per 16 payload bytes
  static constexpr std::size_t kLineLength = 16;
  static constexpr std::size_t kFrameSumAt = 557;

  using CBuffer = std::array<std::uint8_t, kImageSize>;
  using CFileTag = std::array<std::uint8_t, 3>;
  using CBlockTag = std::array<std::uint8_t, 2>;

  CUpgradeFrameBuilder() = default;
  explicit CUpgradeFrameBuilder(const CFileTag& fileTag) : m_fileTag(fileTag) {}

  // A data frame: one chunk (at most 512 bytes) of a block's data, starting `chunkOffset` bytes into it.
  void BuildData(CBuffer& frame, const CBlockTag& blockTag, std::uint32_t chunkOffset,
                 std::span<const std::uint8_t> chunk) const;
  // The frame that closes a block; only the low 24 bits of the block length fit in it.
  void BuildBlockEnd(CBuffer& frame, const CBlockTag& blockTag, std::uint32_t blockLength,
                     std::uint32_t blockWord) const;
  // The frame sent while no transfer runs.
  static void BuildIdle(CBuffer& frame);

 private:
  void PutPrefix(CBuffer& frame, const CBlockTag& blockTag) const;
  // Writes the header check, the 32 line checks and the frame sum over the finished bytes 0 to 523.
  static void Complete(CBuffer& frame);

  CFileTag m_fileTag{};
};
