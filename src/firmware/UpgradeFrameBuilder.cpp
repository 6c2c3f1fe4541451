// Building upgrade frames and their check bytes.
#include "firmware/UpgradeFrameBuilder.h"

#include "base/LittleEndian.h"

#include <algorithm>
#include <cassert>

void CUpgradeFrameBuilder::PutPrefix(CBuffer& frame, const CBlockTag& blockTag) const {
  frame.fill(0);
  frame[0] = 0x01;
  std::copy(m_fileTag.begin(), m_fileTag.end(), frame.begin() + 1);
  frame[4] = blockTag[0];
  frame[5] = blockTag[1];
}

void CUpgradeFrameBuilder::BuildData(CBuffer& frame, const CBlockTag& blockTag, std::uint32_t chunkOffset,
                                     std::span<const std::uint8_t> chunk) const {
  assert(chunk.size() <= kMaxPayload);
  const std::size_t n = std::min(chunk.size(), kMaxPayload);  // never write past the payload
  PutPrefix(frame, blockTag);
  WriteU32Le(frame, 6, chunkOffset);
  WriteU16Le(frame, 10, static_cast<std::uint16_t>(n));
  std::copy_n(chunk.begin(), n, frame.begin() + kPayloadAt);
  Complete(frame);
}

void CUpgradeFrameBuilder::BuildBlockEnd(CBuffer& frame, const CBlockTag& blockTag, std::uint32_t blockLength,
                                         std::uint32_t blockWord) const {
  PutPrefix(frame, blockTag);
  WriteU32Le(frame, 6, 0xFFFFFFFFu);
  WriteLe(frame, 516, blockLength, 3);  // only the low 24 bits travel
  WriteU32Le(frame, 519, blockWord);
  frame[523] = blockTag[1];
  Complete(frame);
}

void CUpgradeFrameBuilder::BuildIdle(CBuffer& frame) {
  frame.fill(0);
  frame[0] = 0x01;
  Complete(frame);
}

void CUpgradeFrameBuilder::Complete(CBuffer& frame) {
  unsigned header = 0;
  for (std::size_t i = 0; i < kPayloadAt; ++i) header += frame[i];
  frame[kHeaderCheckAt] = static_cast<std::uint8_t>(header - 1);

  for (std::size_t line = 0; line < kLineCount; ++line) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < kLineLength; ++i) sum += frame[kPayloadAt + kLineLength * line + i];
    frame[kLineChecksAt + line] = static_cast<std::uint8_t>(sum);
  }

  // Sum of bytes 0 to 523 plus 255, modulo 65536; the check bytes above are not part of it.
  unsigned total = 0;
  for (std::size_t i = 0; i < kHeaderCheckAt; ++i) total += frame[i];
  WriteU16Le(frame, kFrameSumAt, static_cast<std::uint16_t>(total + 0xFF));
}
