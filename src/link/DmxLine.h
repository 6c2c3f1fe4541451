// The process-wide line behind the DmxLink* calls: frame image, mode, stand-by, output.
#pragma once
#include "link/DmxFrame.h"
#include "link/DmxOutput.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class CCaptureWriter;

// One library call as it was made, for tests and the line monitor.
enum class ELinkCall {
  Open, SetMode, SetPageValue, SetChannelValue, Start, StartWithPageValue, StartWithChannelValue, StandBy
};
struct CLinkCall {
  ELinkCall call;
  std::array<std::int32_t, 4> args{};  // page/channel/value/mode numbers, as given
  std::vector<std::uint8_t> page;      // the 142 bytes of a page call
};

// What the line monitor shows: the last frame, counters and the stand-by state.
struct CLineStatus {
  std::optional<CDmxFrame> lastFrame;
  std::uint64_t frameCount = 0;
  double framesPerSecond = 0;  // frames whose time lies within the last second of the clock
  bool standBy = true;
  CDmxMode mode;
  std::string outputName;
};

class CDmxLine final {
 public:
  static CDmxLine& Instance();

  CDmxLine();
  ~CDmxLine();
  CDmxLine(const CDmxLine&) = delete;
  CDmxLine& operator=(const CDmxLine&) = delete;

  // Set-up, before the tools run. Replacing the output resets image, mode, stand-by, counters
  // and history; the call log stays.
  void SetOutput(std::unique_ptr<CDmxOutput> output);
  // Where a fault of the output (a device unplugged or failing mid-run) is reported: at most
  // once per output, on the output's writer thread (or at once on the calling thread when the
  // fault came first). The handler must not block nor wait for the line: post the message to the
  // GUI thread. It also goes to every output set later; Reset drops it. After a fault the output
  // sends nothing more; the line and its callers go on as before.
  void SetFaultHandler(std::function<void(const CError&)> handler);
  // The clock that stamps frames, in microseconds; defaults to the steady clock.
  void SetClock(std::function<std::int64_t()> nowUs);
  // Every frame handed to the output is also written to this capture.
  void SetCapture(std::unique_ptr<CCaptureWriter> capture);
  // Records every call (bounded); off by default.
  void SetRecording(bool on);
  // Back to a fresh line, exactly as newly constructed: no output, the steady clock, no capture
  // (a capture set before is flushed and closed), no fault handler, recording off, no calls recorded, image zero,
  // default mode, stand-by, counters 0, empty history. Set-up is dropped too, so nothing set for
  // one test (a fake clock reading a test's locals, a refusing output) outlives it.
  void Reset();
  // How many frames Frames() keeps (default kDefaultHistoryLimit); older ones are dropped.
  void SetHistoryLimit(std::size_t frames);

  // The eight calls. Results: 0 done, 1 refused (no answer, bad page/channel, impossible mode).
  // A refused SetMode keeps the previous mode but stands the line by, so nothing meant for the
  // new mode goes out under the old one. A start in stand-by sends nothing and returns 0.
  // A start with a refused set still sends the image as it is.
  std::int32_t Open(std::int32_t id, std::int32_t model);
  std::int32_t SetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval, std::int32_t length);
  std::int32_t SetPageValue(std::int32_t page, const std::uint8_t* data);
  std::int32_t SetChannelValue(std::int32_t channel, std::int32_t value);
  std::int32_t Start();
  std::int32_t StartWithPageValue(std::int32_t page, const std::uint8_t* data);
  std::int32_t StartWithChannelValue(std::int32_t channel, std::int32_t value);
  std::int32_t StandBy();

  // Why the last SetMode failed, empty if it did not.
  std::string LastError() const;
  // The first write error of the capture, if any (writing goes on regardless).
  std::optional<CError> CaptureError() const;
  CLineStatus Status() const;
  std::uint64_t FrameCount() const;
  std::optional<CDmxFrame> LastFrame() const;
  // Frames put on the line since the last Reset, oldest first (bounded history).
  std::vector<CDmxFrame> Frames() const;
  std::vector<CLinkCall> Calls() const;
  void ClearCalls();
  // Every frame already started reaches the wire (and the capture), at most `limit`.
  void Flush(std::chrono::milliseconds limit);

  static constexpr std::size_t kDefaultHistoryLimit = 65536;
  static constexpr std::size_t kCallLogLimit = 65536;

 private:
  void ResetStateLocked();
  std::int32_t SetPageLocked(std::int32_t page, const std::uint8_t* data);
  std::int32_t SetChannelLocked(std::int32_t channel, std::int32_t value);
  void StartLocked();
  void RecordLocked(ELinkCall call, std::array<std::int32_t, 4> args, const std::uint8_t* page = nullptr);
  double FramesPerSecondLocked() const;

  mutable std::mutex m_mutex;
  // The output is shared with Flush, which waits on it without holding the lock.
  std::shared_ptr<CDmxOutput> m_output;
  std::function<std::int64_t()> m_clock;
  std::function<void(const CError&)> m_faultHandler;
  std::unique_ptr<CCaptureWriter> m_capture;
  bool m_recording = false;
  std::size_t m_historyLimit = kDefaultHistoryLimit;

  std::array<std::uint8_t, kImageSize> m_image{};
  CDmxMode m_mode;
  bool m_standBy = true;
  std::string m_lastError;
  std::uint64_t m_frameCount = 0;
  std::deque<CDmxFrame> m_history;
  std::deque<std::int64_t> m_recentTimes;  // frame times of about the last second, for the rate
  std::deque<CLinkCall> m_calls;
};
