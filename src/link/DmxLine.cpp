// The line behind the library calls: frame image, mode, stand-by, history and capture.
#include "link/DmxLine.h"

#include "link/CaptureWriter.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::int32_t kOk = 0;
constexpr std::int32_t kRefused = 1;
constexpr std::int64_t kRateWindowUs = 1'000'000;
// Bounds the rate window when frames come faster than anyone could use; the rate then reads this.
constexpr std::size_t kRateWindowLimit = 65536;

std::int64_t SteadyNowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CDmxLine& CDmxLine::Instance() {
  static CDmxLine line;
  return line;
}

CDmxLine::CDmxLine() : m_clock(SteadyNowUs) {}

CDmxLine::~CDmxLine() = default;

void CDmxLine::SetOutput(std::unique_ptr<CDmxOutput> output) {
  std::shared_ptr<CDmxOutput> previous;
  std::function<void(const CError&)> handler;
  {
    std::lock_guard lock(m_mutex);
    handler = m_faultHandler;
  }
  // Outside the lock: an output that already failed reports at once, and the handler may call in.
  if (output && handler) {
    output->SetFaultHandler(std::move(handler));
  }
  {
    std::lock_guard lock(m_mutex);
    previous = std::exchange(m_output, std::move(output));
    ResetStateLocked();
  }
  // The previous output stops its writer here, not under the lock the other thread waits on.
}

void CDmxLine::SetFaultHandler(std::function<void(const CError&)> handler) {
  std::shared_ptr<CDmxOutput> output;
  {
    std::lock_guard lock(m_mutex);
    m_faultHandler = handler;
    output = m_output;
  }
  if (output) {
    output->SetFaultHandler(std::move(handler));
  }
}

void CDmxLine::SetClock(std::function<std::int64_t()> nowUs) {
  std::lock_guard lock(m_mutex);
  m_clock = nowUs ? std::move(nowUs) : std::function<std::int64_t()>(SteadyNowUs);
}

void CDmxLine::SetCapture(std::unique_ptr<CCaptureWriter> capture) {
  std::unique_ptr<CCaptureWriter> previous;
  std::lock_guard lock(m_mutex);
  previous = std::exchange(m_capture, std::move(capture));
  // `previous` is flushed and closed by its destructor, after the lock is released.
}

void CDmxLine::SetRecording(bool on) {
  std::lock_guard lock(m_mutex);
  m_recording = on;
}

void CDmxLine::SetHistoryLimit(std::size_t frames) {
  std::lock_guard lock(m_mutex);
  m_historyLimit = std::max<std::size_t>(frames, 1);  // the last frame is always kept
  while (m_history.size() > m_historyLimit) {
    m_history.pop_front();
  }
}

void CDmxLine::Reset() {
  std::shared_ptr<CDmxOutput> output;
  std::unique_ptr<CCaptureWriter> capture;
  {
    std::lock_guard lock(m_mutex);
    output = std::exchange(m_output, nullptr);
    capture = std::exchange(m_capture, nullptr);
    m_clock = SteadyNowUs;
    m_faultHandler = nullptr;
    m_recording = false;
    m_historyLimit = kDefaultHistoryLimit;
    m_calls.clear();
    ResetStateLocked();
  }
  // Frames already handed over still reach the wire and the file before both go away.
  if (output) {
    output->Flush(std::chrono::milliseconds(1000));
    output->SetFaultHandler(nullptr);
  }
}

void CDmxLine::ResetStateLocked() {
  m_image.fill(0);
  m_mode = CDmxMode{};
  m_standBy = true;
  m_lastError.clear();
  m_frameCount = 0;
  m_history.clear();
  m_recentTimes.clear();
}

std::int32_t CDmxLine::Open(std::int32_t id, std::int32_t model) {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::Open, {id, model, 0, 0});
  if (!m_output) {
    return kRefused;
  }
  return m_output->Answers(id, model) ? kOk : kRefused;
}

std::int32_t CDmxLine::SetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval,
                               std::int32_t length) {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::SetMode, {mark, startCode, interval, length});
  const CDmxMode mode{mark, startCode, interval, length};
  std::string reason;
  if (length < 1 || length > kMaxSlots) {
    reason = "A frame of " + std::to_string(length) + " slots cannot be sent (1 to " +
             std::to_string(kMaxSlots) + " slots)";
  } else if (startCode < 0 || startCode > 0xFF) {
    reason = "The start code " + std::to_string(startCode) + " is not a byte";
  } else if (m_output) {
    if (auto accepted = m_output->AcceptsMode(mode); !accepted) {
      reason = accepted.error().message;
      if (reason.empty()) {
        reason = "The interface cannot send frames in this mode";
      }
    }
  }
  if (!reason.empty()) {
    // The previous mode stays, but nothing more goes out: frames meant for the new mode
    // must not reach fixtures under the old start code.
    m_lastError = std::move(reason);
    m_standBy = true;
    return kRefused;
  }
  m_lastError.clear();
  m_mode = mode;
  m_standBy = false;
  return kOk;
}

std::int32_t CDmxLine::SetPageValue(std::int32_t page, const std::uint8_t* data) {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::SetPageValue, {page, 0, 0, 0}, data);
  return SetPageLocked(page, data);
}

std::int32_t CDmxLine::SetChannelValue(std::int32_t channel, std::int32_t value) {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::SetChannelValue, {channel, value, 0, 0});
  return SetChannelLocked(channel, value);
}

std::int32_t CDmxLine::Start() {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::Start, {});
  StartLocked();
  return kOk;
}

std::int32_t CDmxLine::StartWithPageValue(std::int32_t page, const std::uint8_t* data) {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::StartWithPageValue, {page, 0, 0, 0}, data);
  const std::int32_t result = SetPageLocked(page, data);
  StartLocked();
  return result;
}

std::int32_t CDmxLine::StartWithChannelValue(std::int32_t channel, std::int32_t value) {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::StartWithChannelValue, {channel, value, 0, 0});
  const std::int32_t result = SetChannelLocked(channel, value);
  StartLocked();
  return result;
}

std::int32_t CDmxLine::StandBy() {
  std::lock_guard lock(m_mutex);
  RecordLocked(ELinkCall::StandBy, {});
  m_standBy = true;
  return kOk;
}

std::int32_t CDmxLine::SetPageLocked(std::int32_t page, const std::uint8_t* data) {
  if (page < 0 || page >= kPageCount || data == nullptr) {
    return kRefused;
  }
  std::copy_n(data, kPageSize, m_image.begin() + static_cast<std::ptrdiff_t>(page) * kPageSize);
  return kOk;
}

std::int32_t CDmxLine::SetChannelLocked(std::int32_t channel, std::int32_t value) {
  if (channel < 0 || channel >= kImageSize) {
    return kRefused;
  }
  m_image[static_cast<std::size_t>(channel)] = static_cast<std::uint8_t>(value & 0xFF);
  return kOk;
}

void CDmxLine::StartLocked() {
  if (m_standBy) {
    return;
  }
  CDmxFrame frame;
  frame.timeUs = m_clock();
  frame.startCode = static_cast<std::uint8_t>(m_mode.startCode);
  frame.interval = m_mode.interval;
  frame.slots.assign(m_image.begin(), m_image.begin() + m_mode.length);

  if (m_output) {
    m_output->Send(frame);
  }
  if (m_capture) {
    m_capture->Write(frame);
  }
  ++m_frameCount;
  m_recentTimes.push_back(frame.timeUs);
  while (!m_recentTimes.empty() &&
         (m_recentTimes.front() <= frame.timeUs - kRateWindowUs || m_recentTimes.size() > kRateWindowLimit)) {
    m_recentTimes.pop_front();
  }
  m_history.push_back(std::move(frame));
  while (m_history.size() > m_historyLimit) {
    m_history.pop_front();
  }
}

void CDmxLine::RecordLocked(ELinkCall call, std::array<std::int32_t, 4> args, const std::uint8_t* page) {
  if (!m_recording) {
    return;
  }
  CLinkCall entry{call, args, {}};
  if (page != nullptr) {
    entry.page.assign(page, page + kPageSize);
  }
  m_calls.push_back(std::move(entry));
  if (m_calls.size() > kCallLogLimit) {
    m_calls.pop_front();
  }
}

double CDmxLine::FramesPerSecondLocked() const {
  const std::int64_t now = m_clock();
  const auto inWindow = std::count_if(m_recentTimes.begin(), m_recentTimes.end(), [now](std::int64_t t) {
    return t > now - kRateWindowUs && t <= now;
  });
  return static_cast<double>(inWindow);
}

std::string CDmxLine::LastError() const {
  std::lock_guard lock(m_mutex);
  return m_lastError;
}

std::optional<CError> CDmxLine::CaptureError() const {
  std::lock_guard lock(m_mutex);
  return m_capture ? m_capture->Error() : std::nullopt;
}

CLineStatus CDmxLine::Status() const {
  std::lock_guard lock(m_mutex);
  CLineStatus status;
  if (!m_history.empty()) {
    status.lastFrame = m_history.back();
  }
  status.frameCount = m_frameCount;
  status.framesPerSecond = FramesPerSecondLocked();
  status.standBy = m_standBy;
  status.mode = m_mode;
  status.outputName = m_output ? m_output->Name() : std::string();
  return status;
}

std::uint64_t CDmxLine::FrameCount() const {
  std::lock_guard lock(m_mutex);
  return m_frameCount;
}

std::optional<CDmxFrame> CDmxLine::LastFrame() const {
  std::lock_guard lock(m_mutex);
  if (m_history.empty()) {
    return std::nullopt;
  }
  return m_history.back();
}

std::vector<CDmxFrame> CDmxLine::Frames() const {
  std::lock_guard lock(m_mutex);
  return {m_history.begin(), m_history.end()};
}

std::vector<CLinkCall> CDmxLine::Calls() const {
  std::lock_guard lock(m_mutex);
  return {m_calls.begin(), m_calls.end()};
}

void CDmxLine::ClearCalls() {
  std::lock_guard lock(m_mutex);
  m_calls.clear();
}

void CDmxLine::Flush(std::chrono::milliseconds limit) {
  std::shared_ptr<CDmxOutput> output;
  {
    std::lock_guard lock(m_mutex);
    output = m_output;
  }
  // Waiting for the wire happens outside the lock so callers on the other thread never block on it.
  if (output) {
    output->Flush(limit);
  }
  std::lock_guard lock(m_mutex);
  if (m_capture) {
    m_capture->Flush();
  }
}
