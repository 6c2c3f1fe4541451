// The line behind the library calls: frame image, mode, stand-by, and the hand-over to its taps.
#include "link/DmxLine.h"

#include "link/CaptureWriter.h"
#include "link/WallClock.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::int32_t kOk = 0;
constexpr std::int32_t kRefused = 1;

}  // namespace

CDmxLine& CDmxLine::Instance() {
  static CDmxLine line;
  return line;
}

CDmxLine::CDmxLine() : m_clock(WallClockNowUs) {}

CDmxLine::~CDmxLine() {
  if (m_output) m_output->SetFaultHandler(nullptr);
}

void CDmxLine::SetOutput(std::unique_ptr<CDmxOutput> output) {
  std::shared_ptr<CDmxOutput> next(std::move(output));
  std::shared_ptr<CDmxOutput> previous;
  {
    std::lock_guard lock(m_mutex);
    previous = std::exchange(m_output, next);
    m_image.fill(0);
    m_mode = CDmxMode{};
    m_standBy = true;
    m_lastError.clear();
    m_tally.Clear();
  }
  // The previous output stops its writer here, not under the lock the other thread waits on.
  if (previous) previous->SetFaultHandler(nullptr);
  previous.reset();
  {
    std::lock_guard lock(m_faults->mutex);
    m_faults->fault.reset();
  }
  // Outside the line's lock: an output that already failed reports at once.
  if (next) InstallFaultHandler(next);
}

void CDmxLine::InstallFaultHandler(const std::shared_ptr<CDmxOutput>& output) {
  output->SetFaultHandler([faults = m_faults](const CError& error) {
    std::function<void(const CError&)> handler;
    {
      std::lock_guard lock(faults->mutex);
      faults->fault = error;
      handler = faults->handler;
    }
    if (handler) handler(error);
  });
}

void CDmxLine::SetFaultHandler(std::function<void(const CError&)> handler) {
  std::optional<CError> earlier;
  {
    std::lock_guard lock(m_faults->mutex);
    m_faults->handler = handler;
    earlier = m_faults->fault;
  }
  // A fault that came before anyone listened is told now.
  if (earlier && handler) handler(*earlier);
}

void CDmxLine::SetClock(std::function<std::int64_t()> nowUs) {
  std::lock_guard lock(m_mutex);
  m_clock = nowUs ? std::move(nowUs) : std::function<std::int64_t()>(WallClockNowUs);
}

void CDmxLine::SetCapture(std::unique_ptr<CCaptureWriter> capture, std::function<void(const CError&)> failed) {
  if (capture) capture->SetFailureHandler(std::move(failed));
  std::unique_ptr<CCaptureWriter> previous;
  std::lock_guard lock(m_mutex);
  previous = std::exchange(m_capture, std::move(capture));
  // `previous` is closed by its destructor, after the lock is released.
}

std::optional<CError> CDmxLine::CloseCapture() {
  std::unique_ptr<CCaptureWriter> capture;
  {
    std::lock_guard lock(m_mutex);
    capture = std::move(m_capture);
  }
  return capture ? capture->Close() : std::nullopt;
}

std::int32_t CDmxLine::DmxLinkOpen(std::int32_t id, std::int32_t model) {
  std::lock_guard lock(m_mutex);
  return m_output && m_output->Answers(id, model) ? kOk : kRefused;
}

std::int32_t CDmxLine::DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval,
                                      std::int32_t length) {
  std::lock_guard lock(m_mutex);
  const CDmxMode mode{mark, startCode, interval, length};
  std::string reason;
  if (length < kMinSlots || length > kMaxSlots) {
    reason = "A frame of " + std::to_string(length) + " slots cannot be sent (" + std::to_string(kMinSlots) +
             " to " + std::to_string(kMaxSlots) + " slots)";
  } else if (startCode < 0 || startCode > 0xFF) {
    reason = "The start code " + std::to_string(startCode) + " is not a byte";
  } else if (m_output) {
    if (auto accepted = m_output->AcceptsMode(mode); !accepted) {
      reason = accepted.error().message;
      if (reason.empty()) reason = "The interface cannot send frames in this mode";
    }
  }
  if (!reason.empty()) {
    // The previous mode stays, but nothing more goes out: frames meant for the new mode
    // must not reach fixtures under the old start code.
    m_lastError = std::move(reason);
    StandByLocked();
    return kRefused;
  }
  m_lastError.clear();
  m_mode = mode;
  m_standBy = false;
  return kOk;
}

std::int32_t CDmxLine::DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) {
  std::lock_guard lock(m_mutex);
  return SetPageLocked(page, data);
}

std::int32_t CDmxLine::DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value) {
  std::lock_guard lock(m_mutex);
  return SetChannelLocked(channel, value);
}

std::int32_t CDmxLine::DmxLinkTransmitStart() {
  std::lock_guard lock(m_mutex);
  StartLocked();
  return kOk;
}

std::int32_t CDmxLine::DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data) {
  std::lock_guard lock(m_mutex);
  const std::int32_t result = SetPageLocked(page, data);
  StartLocked();
  return result;
}

std::int32_t CDmxLine::DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value) {
  std::lock_guard lock(m_mutex);
  const std::int32_t result = SetChannelLocked(channel, value);
  StartLocked();
  return result;
}

std::int32_t CDmxLine::DmxLinkStandBy() {
  std::lock_guard lock(m_mutex);
  StandByLocked();
  return kOk;
}

void CDmxLine::StandByLocked() {
  if (!m_standBy && m_output) m_output->StandBy();
  m_standBy = true;
}

std::int32_t CDmxLine::SetPageLocked(std::int32_t page, const std::uint8_t* data) {
  if (page < 0 || page >= kPageCount || data == nullptr) return kRefused;
  std::copy_n(data, kPageSize, m_image.begin() + static_cast<std::ptrdiff_t>(page) * kPageSize);
  return kOk;
}

std::int32_t CDmxLine::SetChannelLocked(std::int32_t channel, std::int32_t value) {
  if (channel < 0 || channel >= kImageSize) return kRefused;
  m_image[static_cast<std::size_t>(channel)] = static_cast<std::uint8_t>(value & 0xFF);
  return kOk;
}

void CDmxLine::StartLocked() {
  if (m_standBy) return;
  CDmxFrame frame;
  frame.timeUs = m_clock();
  frame.startCode = static_cast<std::uint8_t>(m_mode.startCode);
  frame.interval = m_mode.interval;
  frame.slots.assign(m_image.begin(), m_image.begin() + m_mode.length);
  if (m_output) m_output->Send(frame);
  // A frame the interface did not take (it failed at this frame or before) never reaches a wire:
  // neither the capture nor the count for the monitor and the script's expectations hold it.
  if (OutputFaulted()) return;
  if (m_capture) m_capture->Write(frame);
  m_tally.Take(frame);
}

bool CDmxLine::OutputFaulted() const {
  std::lock_guard lock(m_faults->mutex);
  return m_faults->fault.has_value();
}

std::string CDmxLine::LastError() const {
  std::lock_guard lock(m_mutex);
  return m_lastError;
}

CLineStatus CDmxLine::Status() const {
  CLineStatus status;
  {
    std::lock_guard lock(m_mutex);
    status.lastFrame = m_tally.LastFrame();
    status.frameCount = m_tally.FrameCount();
    status.framesPerSecond = m_tally.FramesPerSecond(m_clock());
    status.standBy = m_standBy;
    status.mode = m_mode;
    status.outputName = m_output ? m_output->Name() : std::string();
  }
  std::lock_guard lock(m_faults->mutex);
  status.fault = m_faults->fault;
  return status;
}

void CDmxLine::Flush(std::chrono::milliseconds limit) {
  std::shared_ptr<CDmxOutput> output;
  {
    std::lock_guard lock(m_mutex);
    output = m_output;
  }
  // Waiting for the wire happens outside the lock so callers on the other thread never block on it.
  if (output) output->Flush(limit);
}
