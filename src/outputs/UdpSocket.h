// A non-blocking UDP socket that sends to one IPv4 address and port.
#pragma once
#include "base/Error.h"
#include "outputs/DatagramSocket.h"

#include <array>
#include <cstdint>
#include <expected>
#include <memory>
#include <string>

using CIpv4Address = std::array<std::uint8_t, 4>;

class CUdpSocket final : public CDatagramSocket {
 public:
  // The IPv4 address of a host name or dotted address, e.g. for "node1.local" or "10.0.0.5".
  static std::expected<CIpv4Address, CError> Resolve(const std::string& host);
  static std::string Format(const CIpv4Address& address);
  // A socket sending to address:port; `broadcast` lets it send to broadcast addresses.
  static std::expected<std::unique_ptr<CUdpSocket>, CError> Open(const CIpv4Address& address, std::uint16_t port,
                                                                 bool broadcast);

  ~CUdpSocket() override;

  std::expected<void, std::error_code> Send(std::span<const std::uint8_t> datagram) override;
  void WaitWritable(std::chrono::milliseconds limit) override;

 private:
  CUdpSocket(int fd, const CIpv4Address& address, std::uint16_t port);

  int m_fd;
  CIpv4Address m_address;
  std::uint16_t m_port;
};
