// Picking the addresses iface= names, and laying routes over them.
#include "outputs/InterfaceChoice.h"

#include <algorithm>
#include <arpa/inet.h>

namespace {

constexpr CIpv4Address kLimitedBroadcast{255, 255, 255, 255};

// "eth0" for an address labelled "eth0:1".
std::string BaseName(const std::string& name) { return name.substr(0, name.find(':')); }

// A route to `to` by each interface (of those that carry multicast, for a group), from its first address.
std::vector<CDatagramRoute> OnePerInterface(const std::vector<CLocalAddress>& picked, const CIpv4Address& to,
                                            bool multicastOnly) {
  std::vector<CDatagramRoute> routes;
  for (const CLocalAddress& local : picked) {
    const bool known = std::any_of(routes.begin(), routes.end(),
                                   [&](const CDatagramRoute& r) { return r.interfaceIndex == local.interfaceIndex; });
    if ((local.multicast || !multicastOnly) && !known) routes.push_back({to, local.interfaceIndex, local.address});
  }
  if (routes.empty()) routes.push_back({to});
  return routes;
}

}  // namespace

std::expected<CInterfaceChoice, CError> CInterfaceChoice::Make(const std::string& protocol, const std::string& iface,
                                                               const std::vector<CLocalAddress>& present) {
  CInterfaceChoice choice(iface);
  if (iface.empty() || !choice.Pick(present).empty()) return choice;
  std::vector<std::string> names;
  for (const CLocalAddress& local : present) {
    if (std::find(names.begin(), names.end(), BaseName(local.interfaceName)) == names.end()) {
      names.push_back(BaseName(local.interfaceName));
    }
  }
  std::string list = names.empty() ? "none" : names.front();
  for (std::size_t i = 1; i < names.size(); ++i) list += ", " + names[i];
  return std::unexpected(CError{protocol + ": iface=" + iface +
                                " names no interface that is up with an IPv4 address (there are: " +
                                list + ")"});
}

bool CInterfaceChoice::IsBroadcast(const CIpv4Address& address, const std::vector<CLocalAddress>& present) {
  return address == kLimitedBroadcast ||
         std::ranges::any_of(present, [&](const CLocalAddress& local) { return local.broadcast == address; });
}

bool CInterfaceChoice::Takes(const CLocalAddress& local) const {
  if (m_iface.empty()) return !local.loopback;
  in_addr address{};
  if (::inet_pton(AF_INET, m_iface.c_str(), &address) == 1) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&address.s_addr);
    return local.address == CIpv4Address{bytes[0], bytes[1], bytes[2], bytes[3]};
  }
  return local.interfaceName == m_iface || BaseName(local.interfaceName) == m_iface;
}

std::vector<CLocalAddress> CInterfaceChoice::Pick(const std::vector<CLocalAddress>& present) const {
  std::vector<CLocalAddress> picked;
  std::ranges::copy_if(present, std::back_inserter(picked), [&](const CLocalAddress& l) { return Takes(l); });
  return picked;
}

std::vector<CDatagramRoute> CInterfaceChoice::Multicast(const std::vector<CLocalAddress>& picked,
                                                        const CIpv4Address& group) {
  return OnePerInterface(picked, group, true);
}

std::vector<CDatagramRoute> CInterfaceChoice::DirectedBroadcast(const std::vector<CLocalAddress>& picked) {
  std::vector<CDatagramRoute> routes;
  for (const CLocalAddress& local : picked) {
    const CDatagramRoute route{local.broadcast.value_or(kLimitedBroadcast), local.interfaceIndex, local.address};
    if (std::find(routes.begin(), routes.end(), route) == routes.end()) routes.push_back(route);
  }
  if (routes.empty()) routes.push_back({kLimitedBroadcast});
  return routes;
}

std::vector<CDatagramRoute> CInterfaceChoice::LimitedBroadcast(const std::vector<CLocalAddress>& picked) {
  return OnePerInterface(picked, kLimitedBroadcast, false);
}

std::vector<CDatagramRoute> CInterfaceChoice::Unicast(const std::vector<CLocalAddress>& picked,
                                                      const CIpv4Address& host) const {
  if (m_iface.empty() || picked.empty()) return {{host}};
  return {{host, 0, picked.front().address}};
}
