// Frames waiting for the wire: command frames all kept in order, level frames coalesced, and the
// stand-bys between them.
#pragma once
#include "link/DmxFrame.h"

#include <deque>
#include <optional>

// One piece of work for the wire: a frame, or a stand-by (the adapter stops whatever it does on
// its own between frames).
struct CQueuedWork {
  bool standBy = false;
  CDmxFrame frame;
};

// Not locked: its owner serialises access.
class CFrameQueue final {
 public:
  // Start code 0: a level frame, which only matters as the newest state of the levels.
  static bool IsLevelFrame(const CDmxFrame& frame) { return frame.startCode == 0; }

  // Appends the frame. A level frame that finds a level frame waiting last in the queue takes
  // its place (nothing behind it yet, so no frame changes order). Command frames are never
  // dropped nor merged.
  void Push(CDmxFrame frame);
  // Appends a stand-by, which keeps its place between the frames before and after it.
  void PushStandBy();
  // The oldest work, taken out of the queue.
  std::optional<CQueuedWork> Pop();
  void Clear() { m_work.clear(); }
  bool Empty() const { return m_work.empty(); }

 private:
  std::deque<CQueuedWork> m_work;
};
