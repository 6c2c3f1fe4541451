// A non-blocking UDP socket that sends to one port by routes chosen per datagram, and may listen
// on that port.
#pragma once
#include "base/Error.h"
#include "outputs/DatagramSocket.h"

#include <cstdint>
#include <expected>
#include <memory>
#include <string>

class CUdpSocket final : public CDatagramSocket {
 public:
  // The IPv4 address of a host name or dotted address, e.g. for "node1.local" or "10.0.0.5".
  static std::expected<CIpv4Address, CError> Resolve(const std::string& host);
  static std::string Format(const CIpv4Address& address);
  // The IPv4 addresses of the interfaces that are up.
  static std::vector<CLocalAddress> SystemAddresses();
  // A socket sending to `port`; `broadcast` lets it send to broadcast addresses. With `listen` it
  // also receives what comes to `port` (0: one the system chooses) on any interface: an error when
  // another program listens there already; programs started later may share the port.
  static std::expected<std::unique_ptr<CUdpSocket>, CError> Open(std::uint16_t port, bool broadcast, bool listen);

  ~CUdpSocket() override;

  std::expected<void, std::error_code> Send(std::span<const std::uint8_t> datagram,
                                            const CDatagramRoute& route) override;
  std::optional<CReceivedDatagram> Receive() override;
  void Wait(Clock::time_point deadline) override;
  void Wake() override;
  Clock::time_point Now() override { return Clock::now(); }
  std::vector<CLocalAddress> LocalAddresses() override { return SystemAddresses(); }

 private:
  CUdpSocket(int fd, int wakeFd, std::uint16_t port);

  int m_fd;
  int m_wakeFd;  // an eventfd that ends a Wait
  std::uint16_t m_port;
};
