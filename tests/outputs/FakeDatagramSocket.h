// A datagram socket for tests: records what it takes, and refuses or fails while told to.
#pragma once
#include "outputs/DatagramSocket.h"
#include "support/Hex.h"

#include <memory>
#include <mutex>
#include <vector>

using Datagram = std::vector<std::uint8_t>;

// The test keeps this while the output owns the socket.
struct CFakeNetwork {
  std::mutex mutex;
  std::vector<Datagram> taken;
  std::error_code error;  // returned by every Send while set (EAGAIN: the system is busy)

  std::vector<Datagram> Taken() {
    std::lock_guard lock(mutex);
    return taken;
  }
  void SetError(std::error_code to) {
    std::lock_guard lock(mutex);
    error = to;
  }
};

class CFakeDatagramSocket final : public CDatagramSocket {
 public:
  explicit CFakeDatagramSocket(std::shared_ptr<CFakeNetwork> network) : m_network(std::move(network)) {}
  std::expected<void, std::error_code> Send(std::span<const std::uint8_t> datagram) override {
    std::lock_guard lock(m_network->mutex);
    if (m_network->error) return std::unexpected(m_network->error);
    m_network->taken.emplace_back(datagram.begin(), datagram.end());
    return {};
  }
  void WaitWritable(std::chrono::milliseconds) override {}

 private:
  std::shared_ptr<CFakeNetwork> m_network;
};
