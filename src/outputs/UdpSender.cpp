// The send path of a network output: straight to the socket, a queue behind it, one thread to
// retry, listen and tick.
#include "outputs/UdpSender.h"

#include <algorithm>

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
    m_socket->Wake();
  }
  m_thread.join();  // never long: the thread only waits with limits and sends without blocking
}

void CUdpSender::Send(std::vector<std::uint8_t> datagram, std::span<const CDatagramRoute> routes, bool droppable) {
  std::unique_lock lock(m_mutex);
  if (m_fault || m_stop) return;
  // The thread is woken only when a queue starts, not for every datagram.
  const bool queuedBefore = !m_queue.empty();
  SendQueuedLocked();
  std::optional<std::error_code> failure;
  bool delivered = false;  // taken, queued, or dropped while the system was busy: anything but an error
  for (const CDatagramRoute& route : routes) {
    if (!m_queue.empty()) {
      QueueLocked({datagram, route, droppable});
      delivered = true;
      continue;
    }
    auto sent = m_socket->Send(datagram, route);
    if (sent) {
      ++m_sent;
      m_lastTaken = m_socket->Now();
      delivered = true;
    } else if (!SystemBusy(sent.error())) {
      failure = sent.error();
    } else {
      delivered = true;
      if (droppable) {
        ++m_dropped;
      } else {
        m_lastTaken = m_socket->Now();  // the stall is counted from the first refusal
        m_queue.push_back({datagram, route, false});
      }
    }
  }
  if (failure && !delivered) FailLocked(failure->message());
  if (!queuedBefore && !m_queue.empty()) m_socket->Wake();
  // A fault met here is told before this call returns, so the caller knows this datagram never left.
  ReportFaultUnlocking(lock);
}

void CUdpSender::QueueLocked(CDatagram datagram) {
  if (datagram.droppable && m_queue.back().droppable && m_queue.back().route == datagram.route) {
    m_queue.back().bytes = std::move(datagram.bytes);  // newer levels replace levels not yet sent
    ++m_dropped;
  } else {
    m_queue.push_back(std::move(datagram));
  }
}

void CUdpSender::SendQueuedLocked() {
  while (!m_queue.empty() && !m_fault) {
    auto sent = m_socket->Send(m_queue.front().bytes, m_queue.front().route);
    if (!sent) {
      if (!SystemBusy(sent.error())) FailLocked(sent.error().message());
      return;
    }
    m_queue.pop_front();
    ++m_sent;
    m_lastTaken = m_socket->Now();
  }
  if (m_queue.empty()) m_settled.notify_all();
}

void CUdpSender::FailLocked(const std::string& why) {
  m_fault = CError{"The DMX interface " + m_outputName + " stopped working (" + why +
                   "). Nothing more is sent to it; check the network and start the program again."};
  m_queue.clear();
  m_settled.notify_all();
  m_socket->Wake();
}

void CUdpSender::Flush(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mutex);
  m_settled.wait_for(lock, limit, [&] { return m_fault || m_queue.empty(); });
}

void CUdpSender::SetFaultHandler(CFaultHandler handler) {
  std::unique_lock lock(m_mutex);
  m_faultHandler = std::move(handler);
  ReportFaultUnlocking(lock);
}

void CUdpSender::ReportFaultUnlocking(std::unique_lock<std::mutex>& lock) {
  if (m_fault && !m_faultReported && m_faultHandler) {
    m_faultReported = true;
    const CFaultHandler report = m_faultHandler;
    const CError fault = *m_fault;
    lock.unlock();
    report(fault);
  }
}

void CUdpSender::Listen(CReceiveHandler onReceive, std::chrono::milliseconds period, CTickHandler onTick) {
  std::lock_guard lock(m_mutex);
  m_onReceive = std::move(onReceive);
  m_onTick = std::move(onTick);
  m_tickPeriod = period;
  m_nextTick = m_socket->Now() + period;
  m_socket->Wake();
}

void CUdpSender::StopListening() {
  std::unique_lock lock(m_mutex);
  m_onReceive = nullptr;
  m_onTick = nullptr;
  m_handlerDone.wait(lock, [&] { return !m_inHandler; });
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

void CUdpSender::RunHandler(std::unique_lock<std::mutex>& lock, const std::function<void()>& work) {
  m_inHandler = true;
  lock.unlock();
  work();
  lock.lock();
  m_inHandler = false;
  m_handlerDone.notify_all();
}

void CUdpSender::ReceiveAll(std::unique_lock<std::mutex>& lock) {
  // Read even when nobody listens: a datagram left unread would end every wait at once.
  while (!m_stop) {
    lock.unlock();
    auto received = m_socket->Receive();
    lock.lock();
    if (!received) return;
    if (m_onReceive) RunHandler(lock, [handler = m_onReceive, &received] { handler(*received); });
  }
}

void CUdpSender::Run() {
  std::unique_lock lock(m_mutex);
  while (!m_stop) {
    if (m_fault && !m_faultReported && m_faultHandler) {
      m_faultReported = true;
      RunHandler(lock, [report = m_faultHandler, fault = *m_fault] { report(fault); });
      continue;
    }
    const Clock::time_point now = m_socket->Now();
    if (m_onTick && now >= m_nextTick) {
      m_nextTick = now + m_tickPeriod;
      RunHandler(lock, [tick = m_onTick] { tick(); });
      continue;
    }
    Clock::time_point deadline = m_onTick ? m_nextTick : Clock::time_point::max();
    if (!m_queue.empty()) deadline = std::min(deadline, now + kRetryWait);
    lock.unlock();
    m_socket->Wait(deadline);
    lock.lock();
    ReceiveAll(lock);
    if (!m_queue.empty()) {
      SendQueuedLocked();
      if (!m_queue.empty() && m_socket->Now() - m_lastTaken >= kStallLimit) {
        FailLocked("the network took nothing for " + std::to_string(kStallLimit.count()) + " ms");
      }
    }
  }
}
