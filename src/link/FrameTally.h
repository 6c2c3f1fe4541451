// What the line monitor needs of the frames put on the line: the last one, how many, how fast.
#pragma once
#include "link/DmxFrame.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

// A tap of the line. It keeps only the last frame and the times of the last second's frames,
// so a run of any length costs the same memory. Not locked: the line calls it under its lock.
class CFrameTally final {
 public:
  void Take(const CDmxFrame& frame);
  void Clear();

  const std::optional<CDmxFrame>& LastFrame() const { return m_lastFrame; }
  std::uint64_t FrameCount() const { return m_frameCount; }
  // Frames whose time lies within the second before `nowUs`.
  double FramesPerSecond(std::int64_t nowUs) const;

 private:
  std::optional<CDmxFrame> m_lastFrame;
  std::uint64_t m_frameCount = 0;
  std::deque<std::int64_t> m_recentTimes;
};
