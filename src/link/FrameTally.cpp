// The line monitor's tally: the last frame, the count and the rate of the last second.
#include "link/FrameTally.h"

#include <algorithm>

namespace {
constexpr std::int64_t kRateWindowUs = 1'000'000;
// Bounds the window when frames come faster than anyone could use; the rate then reads this.
constexpr std::size_t kRateWindowLimit = 65536;
}  // namespace

void CFrameTally::Take(const CDmxFrame& frame) {
  ++m_frameCount;
  m_recentTimes.push_back(frame.timeUs);
  while (!m_recentTimes.empty() &&
         (m_recentTimes.front() <= frame.timeUs - kRateWindowUs || m_recentTimes.size() > kRateWindowLimit))
    m_recentTimes.pop_front();
  if (m_lastFrame) {
    // Reuses the slot buffer: the console puts 40 frames a second through here.
    m_lastFrame->timeUs = frame.timeUs;
    m_lastFrame->startCode = frame.startCode;
    m_lastFrame->interval = frame.interval;
    m_lastFrame->slots.assign(frame.slots.begin(), frame.slots.end());
  } else {
    m_lastFrame = frame;
  }
}

void CFrameTally::Clear() { *this = CFrameTally{}; }

double CFrameTally::FramesPerSecond(std::int64_t nowUs) const {
  return static_cast<double>(std::count_if(m_recentTimes.begin(), m_recentTimes.end(), [nowUs](std::int64_t t) {
    return t > nowUs - kRateWindowUs && t <= nowUs;
  }));
}
