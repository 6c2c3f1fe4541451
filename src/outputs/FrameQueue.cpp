// The queue in front of a serial writer.
#include "outputs/FrameQueue.h"

#include <utility>

void CFrameQueue::Push(CDmxFrame frame) {
  if (IsLevelFrame(frame) && !m_frames.empty() && IsLevelFrame(m_frames.back())) {
    m_frames.back() = std::move(frame);
  } else {
    m_frames.push_back(std::move(frame));
  }
}

std::optional<CDmxFrame> CFrameQueue::Pop() {
  if (m_frames.empty()) {
    return std::nullopt;
  }
  CDmxFrame frame = std::move(m_frames.front());
  m_frames.pop_front();
  return frame;
}
