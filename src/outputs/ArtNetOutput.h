// Art-Net 4 as a controller: nodes found by ArtPoll, frames by unicast to those that take the
// output's port-address.
#pragma once
#include "outputs/ArtNetPacket.h"
#include "outputs/InterfaceOptions.h"
#include "outputs/NetworkOutput.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

// An ArtPoll goes out at start and every kPollInterval, and every ArtPoll heard is answered with
// an ArtPollReply (a controller without ports). Level frames go in ArtDmx, other start codes in
// ArtNzs, by unicast to each node whose ArtPollReply lists the output's port-address; only while no
// node has answered, to the directed broadcast address of each chosen interface. A node that
// answers no poll for kNodeTimeout is dropped. With @HOST the frames and polls go to that host
// alone (by each interface to 255.255.255.255 for @255.255.255.255). At most 512 slots, RDM not at
// all. Polls, answers and timeouts run on the sender's thread and clock.
class CArtNetOutput final : public CNetworkOutput {
 public:
  static constexpr std::chrono::milliseconds kPollInterval{2500};
  static constexpr std::chrono::seconds kNodeTimeout{30};

  struct CSettings {
    std::optional<CIpv4Address> host;  // to this host alone; none: to the nodes found by ArtPoll
    CInterfaceChoice interfaces;
    std::string longName = "Vexmira";  // the long name of this program's ArtPollReply
  };

  // The grammar of "artnet:UNIVERSE[@HOST][,iface=NAME|ADDRESS]": the universe is the 15-bit
  // port address.
  static CInterfaceGrammar Grammar();
  // `notice` hears when the Art-Net port is held by another program, so no node can answer.
  static std::expected<std::unique_ptr<CArtNetOutput>, CError> Open(std::string_view name,
                                                                    const CNoticeHandler& notice);

  CArtNetOutput(std::string name, CArtNetPacket packet, std::unique_ptr<CDatagramSocket> socket,
                CSettings settings);
  ~CArtNetOutput() override;

  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override;
  void Send(const CDmxFrame& frame) override;

 private:
  struct CNode {
    CIpv4Address address{};
    int bindIndex = 0;
    std::vector<int> outputs;
    CUdpSender::Clock::time_point lastHeard;
  };

  void Poll();
  void Receive(const CReceivedDatagram& datagram);
  // Takes the addresses now picked and lays the poll and data routes over them.
  void RefreshRoutesLocked(std::vector<CLocalAddress> picked);
  void ChooseDataRoutesLocked();

  std::mutex m_mutex;  // all below: the line's threads and the sender's
  CArtNetPacket m_packet;
  CSettings m_settings;
  std::vector<CLocalAddress> m_picked;
  std::vector<CNode> m_nodes;
  std::vector<CDatagramRoute> m_pollRoutes;
  std::vector<CDatagramRoute> m_dataRoutes;
  std::uint8_t m_sequence = 0;  // the last one sent; 1 to 255, never 0 (which means "not in use")
};
