// Which of the computer's IPv4 addresses a network output sends by, and the routes a datagram
// takes by them to a multicast group, to broadcast or to one host.
#pragma once
#include "base/Error.h"
#include "outputs/DatagramSocket.h"

#include <expected>
#include <string>
#include <vector>

// Those of one interface (iface=NAME), one address (iface=ADDRESS), or, without iface=, every
// interface that is up and not loopback, so a show network without a default route works as it is.
class CInterfaceChoice final {
 public:
  // Every interface that is up and not loopback.
  CInterfaceChoice() = default;
  // `iface` empty: every interface. One that is not among `present` is an error naming those that
  // are, e.g. `sacn: iface=eth9 names no interface that is up with an IPv4 address (there are: lo, eth0)`.
  static std::expected<CInterfaceChoice, CError> Make(const std::string& protocol, const std::string& iface,
                                                      const std::vector<CLocalAddress>& present);
  // 255.255.255.255 or the broadcast address of an interface.
  static bool IsBroadcast(const CIpv4Address& address, const std::vector<CLocalAddress>& present);

  std::vector<CLocalAddress> Pick(const std::vector<CLocalAddress>& present) const;
  // Whether iface= named an interface or an address.
  bool Named() const { return !m_iface.empty(); }

  // With nothing picked, each gives one route by the routing table, so that a network that cannot
  // be reached is reported as such.
  // One route for each interface that carries multicast, from its first address.
  static std::vector<CDatagramRoute> Multicast(const std::vector<CLocalAddress>& picked, const CIpv4Address& group);
  // One route for each address: to its directed broadcast address, or to 255.255.255.255 by its
  // interface when it has none.
  static std::vector<CDatagramRoute> DirectedBroadcast(const std::vector<CLocalAddress>& picked);
  // To 255.255.255.255, one route for each interface.
  static std::vector<CDatagramRoute> LimitedBroadcast(const std::vector<CLocalAddress>& picked);
  // To one host by the routing table, from the chosen address when iface= was given.
  std::vector<CDatagramRoute> Unicast(const std::vector<CLocalAddress>& picked, const CIpv4Address& host) const;

 private:
  explicit CInterfaceChoice(std::string iface) : m_iface(std::move(iface)) {}
  bool Takes(const CLocalAddress& local) const;

  std::string m_iface;
};
