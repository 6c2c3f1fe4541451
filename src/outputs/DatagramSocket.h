// Where a network output's datagrams go and come from, and the clock it keeps time by: one seam,
// so tests can stand in a network and a clock of their own.
#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <expected>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

using CIpv4Address = std::array<std::uint8_t, 4>;

// One IPv4 address of a network interface that is up.
struct CLocalAddress {
  std::string interfaceName;  // "eth1"
  int interfaceIndex = 0;
  CIpv4Address address{};
  std::optional<CIpv4Address> broadcast;  // the directed broadcast address, when the interface has one
  bool loopback = false;
  bool multicast = false;  // the interface carries multicast
  bool operator==(const CLocalAddress&) const = default;
};

// How one datagram leaves: to an address, by an interface (0: the routing table chooses) and from
// a source address (0.0.0.0: the system chooses). The port is the socket's.
struct CDatagramRoute {
  CIpv4Address to{};
  int interfaceIndex = 0;
  CIpv4Address from{};
  bool operator==(const CDatagramRoute&) const = default;
};

struct CReceivedDatagram {
  std::vector<std::uint8_t> bytes;
  CIpv4Address from{};
  int interfaceIndex = 0;     // the interface it arrived by
  CIpv4Address localAddress{};  // this computer's address on that interface, for answers
};

// Sends and receives are made by one thread at a time; Wake, Now and LocalAddresses by any.
class CDatagramSocket {
 public:
  using Clock = std::chrono::steady_clock;

  CDatagramSocket() = default;
  CDatagramSocket(const CDatagramSocket&) = delete;
  CDatagramSocket& operator=(const CDatagramSocket&) = delete;
  virtual ~CDatagramSocket() = default;

  // Sends one datagram without waiting: resource_unavailable_try_again (or no_buffer_space) when
  // the system cannot take it now, another error when it cannot be sent at all.
  virtual std::expected<void, std::error_code> Send(std::span<const std::uint8_t> datagram,
                                                    const CDatagramRoute& route) = 0;
  // The next datagram that has arrived, without waiting.
  virtual std::optional<CReceivedDatagram> Receive() = 0;
  // Returns when a datagram has arrived, Wake was called or `deadline` has come, whichever is first.
  virtual void Wait(Clock::time_point deadline) = 0;
  virtual void Wake() = 0;
  virtual Clock::time_point Now() = 0;
  // The IPv4 addresses of the interfaces that are up, loopback included.
  virtual std::vector<CLocalAddress> LocalAddresses() = 0;
};
