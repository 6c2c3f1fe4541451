// The system calls behind a UDP output: resolve, socket, sendto, poll.
#include "outputs/UdpSocket.h"

#include "base/RetryOnInterrupt.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

std::expected<CIpv4Address, CError> CUdpSocket::Resolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (error != 0 || found == nullptr) {
    return std::unexpected(CError{"Cannot find the host \"" + host + "\" (" + ::gai_strerror(error) + ")"});
  }
  const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const std::uint32_t value = ntohl(address->sin_addr.s_addr);
  ::freeaddrinfo(found);
  return CIpv4Address{static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                      static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

std::string CUdpSocket::Format(const CIpv4Address& address) {
  return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) + "." +
         std::to_string(address[3]);
}

std::expected<std::unique_ptr<CUdpSocket>, CError> CUdpSocket::Open(const CIpv4Address& address, std::uint16_t port,
                                                                     bool broadcast) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::unexpected(CError{std::string("Cannot open a UDP socket: ") + std::strerror(errno)});
  const int on = 1;
  if (broadcast && ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
    const int error = errno;
    ::close(fd);
    return std::unexpected(CError{std::string("Cannot allow broadcasts on a UDP socket: ") + std::strerror(error)});
  }
  return std::unique_ptr<CUdpSocket>(new CUdpSocket(fd, address, port));
}

CUdpSocket::CUdpSocket(int fd, const CIpv4Address& address, std::uint16_t port)
    : m_fd(fd), m_address(address), m_port(port) {}

CUdpSocket::~CUdpSocket() { ::close(m_fd); }

std::expected<void, std::error_code> CUdpSocket::Send(std::span<const std::uint8_t> datagram) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(m_port);
  to.sin_addr.s_addr = htonl(static_cast<std::uint32_t>(m_address[0]) << 24 | m_address[1] << 16 |
                             m_address[2] << 8 | m_address[3]);
  // Not connected: a receiver that is not (yet) listening is no error for a stream of datagrams.
  const auto sent = RetryOnInterrupt(
      [&] { return ::sendto(m_fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to); });
  if (sent < 0) return std::unexpected(std::error_code(errno, std::generic_category()));
  return {};
}

void CUdpSocket::WaitWritable(std::chrono::milliseconds limit) {
  pollfd wait{m_fd, POLLOUT, 0};
  ::poll(&wait, 1, static_cast<int>(limit.count()));
}
