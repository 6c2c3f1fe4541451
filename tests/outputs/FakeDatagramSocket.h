// A network and a clock for tests: the socket records what it sends and by which route, refuses or
// fails while told to, hands over what the test delivers, and keeps a time that moves only when
// the test moves it.
#pragma once
#include "outputs/DatagramSocket.h"
#include "support/Hex.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

using Datagram = std::vector<std::uint8_t>;

struct CSentDatagram {
  Datagram bytes;
  CDatagramRoute route;
};

// The test keeps this while the output owns the socket; it sets the fields under the lock.
struct CFakeNetwork {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<CSentDatagram> sent;
  std::error_code error;       // returned by every Send while set (EAGAIN: the system is busy)
  CIpv4Address unreachable{};  // sends to this address fail: no route to that network
  std::deque<CReceivedDatagram> inbox;
  std::vector<CLocalAddress> addresses;
  CDatagramSocket::Clock::time_point now;
  bool woken = false;
  std::optional<CDatagramSocket::Clock::time_point> waitingUntil;  // while the sender's thread waits

  std::vector<CSentDatagram> Sent() {
    std::lock_guard lock(mutex);
    return sent;
  }
  std::vector<Datagram> Taken() {
    std::vector<Datagram> taken;
    for (const CSentDatagram& s : Sent()) taken.push_back(s.bytes);
    return taken;
  }
  void SetError(std::error_code to) {
    std::lock_guard lock(mutex);
    error = to;
  }
  void Deliver(CReceivedDatagram datagram) {
    std::lock_guard lock(mutex);
    inbox.push_back(std::move(datagram));
    changed.notify_all();
  }
  void Advance(std::chrono::milliseconds by) {
    std::lock_guard lock(mutex);
    now += by;
    changed.notify_all();
  }
  // Waits until the sender's thread has handled all that was delivered and waits for time to pass
  // (a bounded wait: it only ends early when the thread is stuck).
  bool Settle() {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(5),
                            [&] { return waitingUntil && now < *waitingUntil && inbox.empty() && !woken; });
  }
};

class CFakeDatagramSocket final : public CDatagramSocket {
 public:
  explicit CFakeDatagramSocket(std::shared_ptr<CFakeNetwork> network)
      : m_net(*network), m_network(std::move(network)) {}
  std::expected<void, std::error_code> Send(std::span<const std::uint8_t> datagram,
                                            const CDatagramRoute& route) override {
    std::lock_guard lock(m_net.mutex);
    if (m_net.error) return std::unexpected(m_net.error);
    if (route.to == m_net.unreachable) return std::unexpected(std::make_error_code(std::errc::network_unreachable));
    m_net.sent.push_back({{datagram.begin(), datagram.end()}, route});
    return {};
  }
  std::optional<CReceivedDatagram> Receive() override {
    std::lock_guard lock(m_net.mutex);
    if (m_net.inbox.empty()) return std::nullopt;
    CReceivedDatagram datagram = std::move(m_net.inbox.front());
    m_net.inbox.pop_front();
    return datagram;
  }
  void Wait(Clock::time_point deadline) override {
    std::unique_lock lock(m_net.mutex);
    m_net.waitingUntil = deadline;
    m_net.changed.notify_all();
    m_net.changed.wait(lock, [&] { return m_net.woken || !m_net.inbox.empty() || m_net.now >= deadline; });
    m_net.waitingUntil.reset();
    m_net.woken = false;
  }
  void Wake() override {
    std::lock_guard lock(m_net.mutex);
    m_net.woken = true;
    m_net.changed.notify_all();
  }
  Clock::time_point Now() override {
    std::lock_guard lock(m_net.mutex);
    return m_net.now;
  }
  std::vector<CLocalAddress> LocalAddresses() override {
    std::lock_guard lock(m_net.mutex);
    return m_net.addresses;
  }

 private:
  CFakeNetwork& m_net;
  std::shared_ptr<CFakeNetwork> m_network;
};
