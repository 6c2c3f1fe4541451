// Sends a network output's datagrams without ever making its caller wait, reports a failing
// network once, and runs the output's listening and periodic work on its own thread.
#pragma once
#include "base/Error.h"
#include "outputs/DatagramSocket.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

// A datagram goes out at once on the caller's thread, by each of its routes, when the socket takes
// it. When the system cannot take it now, a droppable one (levels, which the next tick sends
// afresh) is dropped and any other (a command frame) waits in a queue, in order, sent as soon as
// the socket takes it: by the next Send or by the sender's own thread, which retries every few
// milliseconds. A queue the socket takes nothing from for kStallLimit, or a datagram that fails by
// every one of its routes, is a fault: reported once, and nothing more is sent. A route that fails
// while another takes the datagram is no fault (one interface of several without a route).
// All waiting and time go through the socket, so tests run the thread on a clock of their own.
class CUdpSender final {
 public:
  using Clock = CDatagramSocket::Clock;
  using CFaultHandler = std::function<void(const CError&)>;
  using CReceiveHandler = std::function<void(const CReceivedDatagram&)>;
  using CTickHandler = std::function<void()>;

  static constexpr std::chrono::milliseconds kStallLimit{1000};
  static constexpr std::chrono::milliseconds kRetryWait{2};

  // `outputName` ("sacn:1@10.0.0.5") names the interface in the fault message.
  CUdpSender(std::unique_ptr<CDatagramSocket> socket, std::string outputName);
  // Stops the thread; datagrams still queued are dropped (Flush first to send them).
  ~CUdpSender();
  CUdpSender(const CUdpSender&) = delete;
  CUdpSender& operator=(const CUdpSender&) = delete;

  void Send(std::vector<std::uint8_t> datagram, std::span<const CDatagramRoute> routes, bool droppable);
  // Waits until no datagram is queued, at most `limit` (at once after a fault).
  void Flush(std::chrono::milliseconds limit);
  // The handler is called once: on the thread of the Send that met the fault, before it returns,
  // or on the sender's thread for a fault met there (at once on the caller's thread when the fault
  // came first); it must not block.
  void SetFaultHandler(CFaultHandler handler);

  // From now on the sender's thread hands every datagram that arrives to `onReceive`, and calls
  // `onTick` every `period`. They run one at a time without the sender's lock, so they may Send.
  void Listen(CReceiveHandler onReceive, std::chrono::milliseconds period, CTickHandler onTick);
  // When it returns, no handler runs and none will. Never from a handler.
  void StopListening();

  Clock::time_point Now() { return m_socket->Now(); }
  std::vector<CLocalAddress> LocalAddresses() { return m_socket->LocalAddresses(); }

  std::optional<CError> Fault() const;
  std::uint64_t SentCount() const;
  std::uint64_t DroppedCount() const;

 private:
  struct CDatagram {
    std::vector<std::uint8_t> bytes;
    CDatagramRoute route;
    bool droppable = false;
  };

  void QueueLocked(CDatagram datagram);
  // Sends queued datagrams in order while the socket takes them. Lock held.
  void SendQueuedLocked();
  void FailLocked(const std::string& why);
  // Tells a fault not told yet to the handler, with the lock released for the call.
  void ReportFaultUnlocking(std::unique_lock<std::mutex>& lock);
  // Calls `work` without the lock, marked as a running handler for StopListening.
  void RunHandler(std::unique_lock<std::mutex>& lock, const std::function<void()>& work);
  void ReceiveAll(std::unique_lock<std::mutex>& lock);
  void Run();

  std::unique_ptr<CDatagramSocket> m_socket;
  std::string m_outputName;

  mutable std::mutex m_mutex;
  std::condition_variable m_settled;      // Flush: the queue is empty or a fault ended output
  std::condition_variable m_handlerDone;  // StopListening: no handler runs
  std::deque<CDatagram> m_queue;
  Clock::time_point m_lastTaken;  // when the socket last took a datagram
  std::optional<CError> m_fault;
  bool m_faultReported = false;
  CFaultHandler m_faultHandler;
  CReceiveHandler m_onReceive;
  CTickHandler m_onTick;
  std::chrono::milliseconds m_tickPeriod{0};
  Clock::time_point m_nextTick;
  bool m_inHandler = false;
  std::uint64_t m_sent = 0;
  std::uint64_t m_dropped = 0;
  bool m_stop = false;
  std::thread m_thread;  // last: it starts once everything above is ready
};
