// The writer thread: a queue, one frame at a time to the wire, the fault reported once.
#include "outputs/SerialWriter.h"

#include "base/RealtimeScheduling.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/prctl.h>
#include <utility>

namespace {

// Sleeps of this thread end within a microsecond of their deadline instead of the default 50 us,
// so frames follow each other as closely as the wire allows.
constexpr unsigned long kTimerSlackNs = 1000;

}  // namespace

struct CSerialWriter::CShared {
  std::string outputName;
  CFrameWrite write;

  mutable std::mutex mutex;
  std::condition_variable wake;     // the thread: a frame came, or stop
  std::condition_variable settled;  // Flush and the destructor: idle, faulted or finished
  CFrameQueue queue;
  bool writing = false;
  bool stop = false;
  bool finished = false;
  std::optional<CError> fault;
  bool faultReported = false;
  CFaultHandler faultHandler;
};

CSerialWriter::CSerialWriter(std::string outputName, CFrameWrite write) : m_shared(std::make_shared<CShared>()) {
  m_shared->outputName = std::move(outputName);
  m_shared->write = std::move(write);
  m_thread = std::thread(Run, m_shared);
}

CSerialWriter::~CSerialWriter() {
  std::unique_lock lock(m_shared->mutex);
  m_shared->stop = true;
  m_shared->queue.Clear();
  m_shared->queue.PushStandBy();
  m_shared->wake.notify_all();
  const bool finished = m_shared->settled.wait_for(lock, kStopLimit, [&] { return m_shared->finished; });
  if (!finished) {
    // The driver holds the thread (a device that neither takes data nor fails). It owns all it
    // uses, so it can finish later; it must not call back into an owner that is going away.
    m_shared->faultHandler = nullptr;
    m_shared->faultReported = true;
  }
  lock.unlock();
  if (finished) {
    m_thread.join();
  } else {
    m_thread.detach();
  }
}

void CSerialWriter::Push(const CDmxFrame& frame) {
  std::lock_guard lock(m_shared->mutex);
  if (m_shared->fault || m_shared->stop) {
    return;
  }
  m_shared->queue.Push(frame);
  m_shared->wake.notify_one();
}

void CSerialWriter::StandBy() {
  std::lock_guard lock(m_shared->mutex);
  if (m_shared->fault || m_shared->stop) {
    return;
  }
  m_shared->queue.PushStandBy();
  m_shared->wake.notify_one();
}

void CSerialWriter::Flush(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_shared->mutex);
  m_shared->settled.wait_for(lock, limit, [&] {
    return m_shared->fault || m_shared->finished || (m_shared->queue.Empty() && !m_shared->writing);
  });
}

void CSerialWriter::SetFaultHandler(CFaultHandler handler) {
  std::unique_lock lock(m_shared->mutex);
  m_shared->faultHandler = std::move(handler);
  if (!m_shared->fault || m_shared->faultReported || !m_shared->faultHandler) {
    return;
  }
  // The fault came before anyone listened: report it now, once, outside the lock.
  m_shared->faultReported = true;
  const CFaultHandler report = m_shared->faultHandler;
  const CError fault = *m_shared->fault;
  lock.unlock();
  report(fault);
}

void CSerialWriter::Run(const std::shared_ptr<CShared>& shared) {
  ::prctl(PR_SET_TIMERSLACK, kTimerSlackNs);
  // A frame waiting behind other programs' work would stretch the line's timing.
  RequestRealtimeScheduling();
  std::unique_lock lock(shared->mutex);
  bool standingBy = true;  // nothing sent since the last stand-by (or since the start)
  for (;;) {
    shared->wake.wait(lock, [&] { return shared->stop || !shared->queue.Empty(); });
    if (shared->queue.Empty()) {
      break;  // stopping, and the last stand-by is done
    }
    const CQueuedWork work = *shared->queue.Pop();
    if (work.standBy && standingBy) {
      if (shared->queue.Empty()) shared->settled.notify_all();
      continue;
    }
    standingBy = work.standBy;
    shared->writing = true;
    lock.unlock();
    auto done = shared->write(work);
    lock.lock();
    shared->writing = false;
    if (!done) {
      // A device that failed once (unplugged, broken) gets nothing more: no report per frame,
      // no retry that could hang.
      shared->fault = CError{"The DMX interface " + shared->outputName + " stopped working (" +
                             done.error().message +
                             "). Nothing more is sent to it; check that it is plugged in and start the "
                             "program again."};
      shared->queue.Clear();
      shared->settled.notify_all();
      // A device that fails while the output closes has no one left to tell.
      if (shared->faultHandler && !shared->faultReported && !shared->stop) {
        shared->faultReported = true;
        const CFaultHandler report = shared->faultHandler;
        const CError fault = *shared->fault;
        lock.unlock();
        report(fault);
        lock.lock();
      }
      break;
    }
    if (shared->queue.Empty()) {
      shared->settled.notify_all();
    }
  }
  shared->finished = true;
  shared->settled.notify_all();
}
