// The send path of a network output: straight to the socket, a queue behind it, one thread to retry.
#include "outputs/UdpSender.h"

#include <cerrno>

namespace {

bool SystemBusy(const std::error_code& error) {
  return error == std::errc::resource_unavailable_try_again || error == std::errc::operation_would_block ||
         error == std::errc::no_buffer_space;
}

}  // namespace

CUdpSender::CUdpSender(std::unique_ptr<CDatagramSocket> socket, std::string outputName)
    : m_socket(std::move(socket)), m_outputName(std::move(outputName)), m_thread([this] { Run(); }) {}

CUdpSender::~CUdpSender() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  m_thread.join();  // never long: the thread only waits with limits and sends without blocking
}

void CUdpSender::Send(std::vector<std::uint8_t> datagram, bool droppable) {
  std::unique_lock lock(m_mutex);
  if (m_fault || m_stop) return;
  // The thread is woken only when a queue starts, not for every datagram.
  const bool queuedBefore = !m_queue.empty();
  SendQueuedLocked();
  if (m_queue.empty()) {
    auto sent = m_socket->Send(datagram);
    if (sent) {
      ++m_sent;
      m_lastTaken = Clock::now();
    } else if (!SystemBusy(sent.error())) {
      FailLocked(sent.error().message());
    } else if (droppable) {
      ++m_dropped;
    } else {
      m_lastTaken = Clock::now();  // the stall is counted from the first refusal
      m_queue.push_back({std::move(datagram), false});
    }
  } else if (droppable && m_queue.back().droppable) {
    m_queue.back().bytes = std::move(datagram);  // newer levels replace levels not yet sent
    ++m_dropped;
  } else {
    m_queue.push_back({std::move(datagram), droppable});
  }
  if (!queuedBefore && !m_queue.empty()) m_wake.notify_all();
  // A fault met here is told before this call returns, so the caller knows this datagram never left.
  if (m_fault && !m_faultReported && m_faultHandler) {
    m_faultReported = true;
    const CFaultHandler report = m_faultHandler;
    const CError fault = *m_fault;
    lock.unlock();
    report(fault);
  }
}

void CUdpSender::SendQueuedLocked() {
  while (!m_queue.empty() && !m_fault) {
    auto sent = m_socket->Send(m_queue.front().bytes);
    if (!sent) {
      if (!SystemBusy(sent.error())) FailLocked(sent.error().message());
      return;
    }
    m_queue.pop_front();
    ++m_sent;
    m_lastTaken = Clock::now();
  }
  if (m_queue.empty()) m_settled.notify_all();
}

void CUdpSender::FailLocked(const std::string& why) {
  m_fault = CError{"The DMX interface " + m_outputName + " stopped working (" + why +
                   "). Nothing more is sent to it; check the network and start the program again."};
  m_queue.clear();
  m_settled.notify_all();
  m_wake.notify_all();
}

void CUdpSender::Flush(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mutex);
  m_settled.wait_for(lock, limit, [&] { return m_fault || m_queue.empty(); });
}

void CUdpSender::SetFaultHandler(CFaultHandler handler) {
  std::unique_lock lock(m_mutex);
  m_faultHandler = std::move(handler);
  if (m_fault && !m_faultReported && m_faultHandler) {
    m_faultReported = true;
    const CFaultHandler report = m_faultHandler;
    const CError fault = *m_fault;
    lock.unlock();
    report(fault);
  }
}

std::optional<CError> CUdpSender::Fault() const {
  std::lock_guard lock(m_mutex);
  return m_fault;
}

std::uint64_t CUdpSender::SentCount() const {
  std::lock_guard lock(m_mutex);
  return m_sent;
}

std::uint64_t CUdpSender::DroppedCount() const {
  std::lock_guard lock(m_mutex);
  return m_dropped;
}

void CUdpSender::Run() {
  std::unique_lock lock(m_mutex);
  while (!m_stop) {
    if (m_fault) {
      if (!m_faultReported && m_faultHandler) {
        m_faultReported = true;
        const CFaultHandler report = m_faultHandler;
        const CError fault = *m_fault;
        lock.unlock();
        report(fault);
        lock.lock();
        continue;
      }
      m_wake.wait(lock);
    } else if (!m_queue.empty()) {
      lock.unlock();
      m_socket->WaitWritable(kRetryWait);
      lock.lock();
      SendQueuedLocked();
      if (!m_queue.empty() && Clock::now() - m_lastTaken >= kStallLimit) {
        FailLocked("the network took nothing for " + std::to_string(kStallLimit.count()) + " ms");
      } else if (!m_queue.empty()) {
        m_wake.wait_for(lock, kRetryWait);  // a socket that says writable but refuses: no busy loop
      }
    } else {
      m_wake.wait(lock);
    }
  }
}
