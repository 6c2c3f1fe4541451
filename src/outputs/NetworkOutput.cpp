// The network outputs' common part.
#include "outputs/NetworkOutput.h"

#include "outputs/SacnPacket.h"

#include <unistd.h>

CNetworkOutput::CNetworkOutput(std::string name, std::string protocol, std::unique_ptr<CDatagramSocket> socket,
                               CInterfaceChoice interfaces)
    : m_name(name),
      m_protocol(std::move(protocol)),
      m_interfaces(std::move(interfaces)),
      m_sender(std::move(socket), std::move(name)) {}

bool CNetworkOutput::Answers(int id, int model) { return id == kInterfaceId && model == kOpenDmxModel; }

std::expected<void, CError> CNetworkOutput::AcceptsMode(const CDmxMode& mode) {
  if (mode.length > kMaxSlots) {
    return std::unexpected(Refusal("carries at most " + std::to_string(kMaxSlots) + " slots; a frame of " +
                                   std::to_string(mode.length) +
                                   " slots needs an open-DMX adapter (--interface opendmx:/dev/ttyUSBn)"));
  }
  return {};
}

std::string CNetworkOutput::StationName() {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0') return CSacnPacket::SourceName("localhost");
  return CSacnPacket::SourceName(host);
}

CError CNetworkOutput::Refusal(const std::string& which) const {
  return CError{"The DMX interface " + m_name + " sends " + m_protocol + ", which " + which};
}
