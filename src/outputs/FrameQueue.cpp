// The queue in front of a serial writer.
#include "outputs/FrameQueue.h"

#include <utility>

void CFrameQueue::Push(CDmxFrame frame) {
  if (IsLevelFrame(frame) && !m_work.empty() && !m_work.back().standBy && IsLevelFrame(m_work.back().frame)) {
    m_work.back().frame = std::move(frame);
  } else {
    m_work.push_back({false, std::move(frame)});
  }
}

void CFrameQueue::PushStandBy() {
  if (m_work.empty() || !m_work.back().standBy) m_work.push_back({true, {}});
}

std::optional<CQueuedWork> CFrameQueue::Pop() {
  if (m_work.empty()) {
    return std::nullopt;
  }
  CQueuedWork work = std::move(m_work.front());
  m_work.pop_front();
  return work;
}
