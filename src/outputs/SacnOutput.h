// sACN (ANSI E1.31) to a node, or to the universe's multicast group by the chosen interfaces.
#pragma once
#include "base/FileHandle.h"
#include "outputs/InterfaceOptions.h"
#include "outputs/NetworkOutput.h"
#include "outputs/SacnPacket.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

// Every start code travels, in property value 0; at most 512 slots. While the stream runs, a
// multicast stream is announced by a universe discovery packet every 10 s, and with per-address
// priority every level frame goes with a 0xDD packet whenever the priorities change and at least
// once a second: the output's priority for each slot above 0, 0 ("not sourced here") for the
// others, so receivers that merge per address keep another console's levels where this one sends
// 0. Both keep the stream's own time, the frames' time stamps. When the line stands by and when
// the output goes away, the stream ends with three packets marked terminated, so receivers let go
// of the universe at once instead of after their timeout.
class CSacnOutput final : public CNetworkOutput {
 public:
  static constexpr int kTerminationPackets = 3;
  // How long the last packets may take to leave when the output goes away.
  static constexpr std::chrono::milliseconds kCloseLimit{200};
  static constexpr std::chrono::microseconds kDiscoveryInterval{10'000'000};
  static constexpr std::chrono::microseconds kPriorityInterval{1'000'000};

  struct CSettings {
    std::optional<CIpv4Address> host;  // unicast to this node; none: the universe's multicast group
    CInterfaceChoice interfaces;
    bool perAddress = false;
  };

  // The grammar of "sacn:UNIVERSE[@HOST][,priority=N][,iface=NAME|ADDRESS][,per-address]".
  static CInterfaceGrammar Grammar();
  // The output the interface name stands for, with the CID from the user's configuration folder;
  // `notice` hears which CID file a second copy of the program uses, and why a run uses a CID of
  // its own.
  static std::expected<std::unique_ptr<CSacnOutput>, CError> Open(std::string_view name, const CNoticeHandler& notice);

  CSacnOutput(std::string name, CSacnPacket packet, std::unique_ptr<CDatagramSocket> socket, CSettings settings);
  ~CSacnOutput() override;

  void Send(const CDmxFrame& frame) override;
  void StandBy() override { Terminate(); }

  // Ends the stream now (nothing if it has ended already); the next frame starts it again.
  void Terminate();
  // Keeps the CID's file locked while the output lives, so another copy takes another CID.
  void KeepCidLock(std::unique_ptr<CFileHandle> lock) { m_cidLock = std::move(lock); }

 private:
  // Picks the interfaces afresh (some may have come or gone) and lays the routes over them.
  void RefreshRoutesLocked();
  void SendPrioritiesLocked(const CDmxFrame& frame);

  std::mutex m_mutex;  // all below: the line's threads and the output's end
  CSacnPacket m_packet;
  CSettings m_settings;
  std::vector<CDatagramRoute> m_routes;
  std::vector<CDatagramRoute> m_discoveryRoutes;
  std::uint8_t m_sequence = 0;  // one sequence for every packet of the universe, 0xDD included
  CDmxFrame m_lastFrame;
  bool m_streaming = false;
  std::optional<std::int64_t> m_lastDiscoveryUs;
  std::optional<std::int64_t> m_lastPrioritiesUs;
  std::vector<std::uint8_t> m_lastPriorities;
  std::unique_ptr<CFileHandle> m_cidLock;
};
