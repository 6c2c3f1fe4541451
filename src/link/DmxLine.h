// The process's DMX line: frame image, mode and stand-by, and the taps each started frame goes to.
#pragma once
#include "base/Error.h"
#include "link/DmxFrame.h"
#include "link/DmxLink.h"
#include "link/DmxOutput.h"
#include "link/FrameTally.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class CCaptureWriter;

// What the line monitor shows: the last frame, counters, the stand-by state and the interface's.
struct CLineStatus {
  std::optional<CDmxFrame> lastFrame;
  std::uint64_t frameCount = 0;
  double framesPerSecond = 0;  // frames whose time lies within the last second of the clock
  bool standBy = true;
  CDmxMode mode;
  std::string outputName;
  std::optional<CError> fault;  // the interface failed and sends nothing more
};

// Page and channel calls copy into the image at the call; a start hands a snapshot of the image
// in the current mode to the taps: the output, then, if the output took it (it has not failed,
// then or before), the capture and the monitor's tally. Called from
// the GUI thread and the console tick's thread; one mutex serialises it.
class CDmxLine final : public CDmxLink {
 public:
  static CDmxLine& Instance();

  CDmxLine();
  ~CDmxLine() override;

  // Set-up, before the tools run. Replacing the output starts the line afresh: image zero,
  // default mode, stand-by, tally and fault cleared.
  void SetOutput(std::unique_ptr<CDmxOutput> output);
  // Where a fault of the output (a device unplugged or failing mid-run) is reported: at most
  // once per output, on the output's writer thread (or at once on the calling thread when the
  // fault came first). The handler must not block nor wait for the line: post the message to the
  // GUI thread. After a fault the output sends nothing more; the line and its callers go on.
  void SetFaultHandler(std::function<void(const CError&)> handler);
  // The clock that stamps frames, in microseconds; WallClockNowUs unless set.
  void SetClock(std::function<std::int64_t()> nowUs);
  // Every frame a working output takes is also written to this capture; the line never waits
  // for it. The first failure stops the capture and is told to `failed` once, on the capture's
  // writer thread (or at once, on this thread, for a capture that failed already): it must not
  // block nor call the line. The previous capture is closed as CloseCapture does.
  void SetCapture(std::unique_ptr<CCaptureWriter> capture, std::function<void(const CError&)> failed = {});
  // Writes what the capture still holds and closes it (waiting for a slow reader at most the
  // capture's stall limit); why it failed, if it did.
  std::optional<CError> CloseCapture();

  // The eight calls. Results: 0 done, 1 refused (no answer, bad page/channel, impossible mode).
  // A refused SetMode keeps the previous mode but stands the line by, so nothing meant for the
  // new mode goes out under the old one. A start in stand-by sends nothing and returns 0.
  // A start with a refused set still sends the image as it is.
  std::int32_t DmxLinkOpen(std::int32_t id, std::int32_t model) override;
  std::int32_t DmxLinkSetMode(std::int32_t mark, std::int32_t startCode, std::int32_t interval,
                              std::int32_t length) override;
  std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) override;
  std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t channel, std::int32_t value) override;
  std::int32_t DmxLinkTransmitStart() override;
  std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t page, const std::uint8_t* data) override;
  std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t channel, std::int32_t value) override;
  std::int32_t DmxLinkStandBy() override;

  // Why the last SetMode failed, empty if it did not.
  std::string LastError() const override;
  CLineStatus Status() const;
  // Every frame already started reaches the wire, waiting at most `limit`.
  void Flush(std::chrono::milliseconds limit);

 private:
  void InstallFaultHandler(const std::shared_ptr<CDmxOutput>& output);
  std::int32_t SetPageLocked(std::int32_t page, const std::uint8_t* data);
  std::int32_t SetChannelLocked(std::int32_t channel, std::int32_t value);
  void StartLocked();
  void StandByLocked();
  bool OutputFaulted() const;

  mutable std::mutex m_mutex;
  // The output is shared with Flush, which waits on it without holding the lock.
  std::shared_ptr<CDmxOutput> m_output;
  std::function<std::int64_t()> m_clock;
  std::unique_ptr<CCaptureWriter> m_capture;
  CFrameTally m_tally;

  std::array<std::uint8_t, kImageSize> m_image{};
  CDmxMode m_mode;
  bool m_standBy = true;
  std::string m_lastError;

  // Reported from the output's writer thread: kept apart from m_mutex so no lock order arises.
  struct CFaultState {
    std::mutex mutex;
    std::function<void(const CError&)> handler;
    std::optional<CError> fault;
  };
  std::shared_ptr<CFaultState> m_faults = std::make_shared<CFaultState>();
};
