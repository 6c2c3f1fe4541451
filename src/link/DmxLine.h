// The process-wide line behind the DmxLink* calls: frame image, mode, stand-by, output.
#pragma once
#include "link/DmxFrame.h"
#include "link/DmxOutput.h"

#include <array>
#include <cstdint>
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

  // Set-up, before the tools run. Replacing the output resets image, mode and counters.
  void SetOutput(std::unique_ptr<CDmxOutput> output);
  // The clock that stamps frames, in microseconds; defaults to the steady clock.
  void SetClock(std::function<std::int64_t()> nowUs);
  // Every frame handed to the output is also written to this capture.
  void SetCapture(std::unique_ptr<CCaptureWriter> capture);
  // Records every call (bounded); off by default.
  void SetRecording(bool on);
  // Back to a fresh line: no output calls recorded, image zero, stand-by, counters 0.
  void Reset();

  // The eight calls.
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
  CLineStatus Status() const;
  std::uint64_t FrameCount() const;
  std::optional<CDmxFrame> LastFrame() const;
  // Frames put on the line since the last Reset, oldest first (bounded history).
  std::vector<CDmxFrame> Frames() const;
  std::vector<CLinkCall> Calls() const;
  void ClearCalls();
  // Every frame already started reaches the wire (and the capture), at most `limit`.
  void Flush(std::chrono::milliseconds limit);

 private:
  // (members: one mutex guarding all of the state below)
};
