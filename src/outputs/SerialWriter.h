// The writer thread behind a serial output: frames queue up, go to the wire one at a time, and a
// failing device is reported once.
#pragma once
#include "base/Error.h"
#include "link/DmxFrame.h"
#include "outputs/FrameQueue.h"

#include <chrono>
#include <expected>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class CSerialWriter final {
 public:
  // Puts one frame on the wire and returns when the next may start (the output's pacing
  // included); without a frame, stands the adapter by. Runs on the writer thread only;
  // everything it uses must be owned by it.
  using CFrameWrite = std::function<std::expected<void, CError>(const CQueuedWork&)>;
  using CFaultHandler = std::function<void(const CError&)>;

  // How long the destructor waits for the frame on the wire before leaving the thread behind.
  static constexpr std::chrono::milliseconds kStopLimit{2000};

  // `outputName` ("opendmx:/dev/ttyUSB0") names the interface in the fault message.
  CSerialWriter(std::string outputName, CFrameWrite write);
  // Stops after the frame being written; frames still queued are dropped (Flush first to send
  // them). An adapter that was given frames since its last stand-by is stood by first. Never waits longer than kStopLimit: a writer stuck in the driver is left to finish
  // on its own and reports nothing more.
  ~CSerialWriter();
  CSerialWriter(const CSerialWriter&) = delete;
  CSerialWriter& operator=(const CSerialWriter&) = delete;

  // Queues a copy of the frame and returns at once. Command frames (start code not 0) all go
  // out in order; a level frame still waiting behind the wire is replaced by a newer one.
  // After a fault, frames are dropped.
  void Push(const CDmxFrame& frame);
  // Queues a stand-by behind the frames pushed so far; it is skipped when no frame went out
  // since the last one.
  void StandBy();
  // Waits until every frame pushed so far is on the wire, at most `limit` (at once after a fault).
  void Flush(std::chrono::milliseconds limit);
  // The first write error ends all output and is reported to `handler` once: on the writer
  // thread, or at once on the caller's thread when it happened before the handler was set.
  // The handler must not block (post the message to the GUI thread).
  void SetFaultHandler(CFaultHandler handler);

 private:
  struct CShared;
  static void Run(const std::shared_ptr<CShared>& shared);

  std::shared_ptr<CShared> m_shared;  // shared with the thread, which may outlive this object
  std::thread m_thread;
};
