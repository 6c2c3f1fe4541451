// Frames waiting for the wire: command frames all kept in order, level frames coalesced.
#pragma once
#include "link/DmxFrame.h"

#include <deque>
#include <optional>

// Not locked: its owner serialises access.
class CFrameQueue final {
 public:
  // Start code 0: a level frame, which only matters as the newest state of the levels.
  static bool IsLevelFrame(const CDmxFrame& frame) { return frame.startCode == 0; }

  // Appends the frame. A level frame that finds a level frame waiting last in the queue takes
  // its place (nothing behind it yet, so no frame changes order). Command frames are never
  // dropped nor merged.
  void Push(CDmxFrame frame);
  // The oldest frame, taken out of the queue.
  std::optional<CDmxFrame> Pop();
  void Clear() { m_frames.clear(); }
  bool Empty() const { return m_frames.empty(); }

 private:
  std::deque<CDmxFrame> m_frames;
};
