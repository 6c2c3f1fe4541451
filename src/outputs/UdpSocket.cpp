// The system calls behind a UDP output: resolve, list the interfaces, socket, sendmsg with the
// route in IP_PKTINFO, recvmsg, poll.
#include "outputs/UdpSocket.h"

#include "base/RetryOnInterrupt.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

CIpv4Address FromInAddr(in_addr address) {
  const std::uint32_t value = ntohl(address.s_addr);
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

in_addr ToInAddr(const CIpv4Address& address) {
  in_addr result{};
  result.s_addr = htonl(static_cast<std::uint32_t>(address[0]) << 24 | address[1] << 16 | address[2] << 8 | address[3]);
  return result;
}

CIpv4Address FromSockaddr(const sockaddr* address) {
  return FromInAddr(reinterpret_cast<const sockaddr_in*>(address)->sin_addr);
}

std::unexpected<CError> SystemError(const std::string& what, int error) {
  return std::unexpected(CError{what + ": " + std::strerror(error)});
}

}  // namespace

std::expected<CIpv4Address, CError> CUdpSocket::Resolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  const int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (error != 0 || found == nullptr) {
    return std::unexpected(CError{"Cannot find the host \"" + host + "\" (" + ::gai_strerror(error) + ")"});
  }
  const CIpv4Address address = FromSockaddr(found->ai_addr);
  ::freeaddrinfo(found);
  return address;
}

std::string CUdpSocket::Format(const CIpv4Address& address) {
  return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." + std::to_string(address[2]) + "." +
         std::to_string(address[3]);
}

std::vector<CLocalAddress> CUdpSocket::SystemAddresses() {
  std::vector<CLocalAddress> addresses;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return addresses;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_UP) == 0) {
      continue;
    }
    CLocalAddress local;
    local.interfaceName = entry->ifa_name;
    // An address label ("eth0:1") belongs to its interface.
    const std::string interface = local.interfaceName.substr(0, local.interfaceName.find(':'));
    local.interfaceIndex = static_cast<int>(::if_nametoindex(interface.c_str()));
    local.address = FromSockaddr(entry->ifa_addr);
    if ((entry->ifa_flags & IFF_BROADCAST) != 0 && entry->ifa_broadaddr != nullptr &&
        entry->ifa_broadaddr->sa_family == AF_INET) {
      const CIpv4Address broadcast = FromSockaddr(entry->ifa_broadaddr);
      if (broadcast != CIpv4Address{}) local.broadcast = broadcast;  // none was set: "brd" left out
    }
    local.loopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
    local.multicast = (entry->ifa_flags & IFF_MULTICAST) != 0;
    if (local.interfaceIndex > 0) addresses.push_back(std::move(local));
  }
  ::freeifaddrs(list);
  return addresses;
}

std::expected<std::unique_ptr<CUdpSocket>, CError> CUdpSocket::Open(std::uint16_t port, bool broadcast, bool listen) {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return SystemError("Cannot open a UDP socket", errno);
  const int on = 1;
  const auto fail = [fd](const std::string& what) {
    const int error = errno;
    ::close(fd);
    return SystemError(what, error);
  };
  if (broadcast && ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
    return fail("Cannot allow broadcasts on a UDP socket");
  }
  if (listen) {
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(port);
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) return fail("Cannot set up a UDP socket");
    // Bound alone first: of sockets sharing a port, the newest takes every unicast datagram, so
    // this one must not come after a program already listening there (olad on this computer).
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
      return fail("Cannot receive on UDP port " + std::to_string(port));
    }
    // Programs started later may share it.
    if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) return fail("Cannot set up a UDP socket");
    socklen_t size = sizeof any;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&any), &size);
    port = ntohs(any.sin_port);  // the one the system chose for port 0
  }
  const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (wakeFd < 0) return fail("Cannot make an event for a UDP socket");
  return std::unique_ptr<CUdpSocket>(new CUdpSocket(fd, wakeFd, port));
}

CUdpSocket::CUdpSocket(int fd, int wakeFd, std::uint16_t port) : m_fd(fd), m_wakeFd(wakeFd), m_port(port) {}

CUdpSocket::~CUdpSocket() {
  ::close(m_fd);
  ::close(m_wakeFd);
}

std::expected<void, std::error_code> CUdpSocket::Send(std::span<const std::uint8_t> datagram,
                                                      const CDatagramRoute& route) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(m_port);
  to.sin_addr = ToInAddr(route.to);
  iovec data{const_cast<std::uint8_t*>(datagram.data()), datagram.size()};
  msghdr message{};
  message.msg_name = &to;
  message.msg_namelen = sizeof to;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  // The interface and the source address of this datagram alone: multicast and broadcast leave by
  // the interface named here, whatever the routing table says.
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
  if (route.interfaceIndex != 0 || route.from != CIpv4Address{}) {
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = route.interfaceIndex;
    info.ipi_spec_dst = ToInAddr(route.from);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
  }
  // Not connected: a receiver that is not (yet) listening is no error for a stream of datagrams.
  if (RetryOnInterrupt([&] { return ::sendmsg(m_fd, &message, 0); }) < 0) {
    return std::unexpected(std::error_code(errno, std::generic_category()));
  }
  return {};
}

std::optional<CReceivedDatagram> CUdpSocket::Receive() {
  CReceivedDatagram received;
  received.bytes.resize(2048);
  sockaddr_in from{};
  iovec data{received.bytes.data(), received.bytes.size()};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
  msghdr message{};
  message.msg_name = &from;
  message.msg_namelen = sizeof from;
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof control;
  const ssize_t size = RetryOnInterrupt([&] { return ::recvmsg(m_fd, &message, MSG_DONTWAIT); });
  if (size < 0) return std::nullopt;
  received.bytes.resize(static_cast<std::size_t>(size));
  received.from = FromInAddr(from.sin_addr);
  for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr; header = CMSG_NXTHDR(&message, header)) {
    if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
      in_pktinfo info{};
      std::memcpy(&info, CMSG_DATA(header), sizeof info);
      received.interfaceIndex = info.ipi_ifindex;
      received.localAddress = FromInAddr(info.ipi_spec_dst);
    }
  }
  return received;
}

void CUdpSocket::Wait(Clock::time_point deadline) {
  int timeout = -1;
  if (deadline != Clock::time_point::max()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    timeout = static_cast<int>(std::clamp<long long>(left, 0, INT_MAX));
  }
  pollfd waits[] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
  if (::poll(waits, 2, timeout) > 0 && (waits[1].revents & POLLIN) != 0) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(m_wakeFd, &count, sizeof count);
  }
}

void CUdpSocket::Wake() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}
