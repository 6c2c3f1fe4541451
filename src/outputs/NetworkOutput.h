// What the network outputs share: a non-blocking sender, the name, the interfaces they send by,
// the open-DMX identifier pair and the 512-slot limit of the network protocols.
#pragma once
#include "link/DmxOutput.h"
#include "link/LineConstants.h"
#include "outputs/DatagramSocket.h"
#include "outputs/InterfaceChoice.h"
#include "outputs/UdpSender.h"

#include <functional>
#include <memory>
#include <string>

// Says something the user should know that is no error, e.g. which sACN source id a run uses.
using CNoticeHandler = std::function<void(const std::string&)>;

class CNetworkOutput : public CDmxOutput {
 public:
  // Both protocols carry at most one universe of slots.
  static constexpr int kMaxSlots = kUniverseSlots;

  // `protocol` ("sACN", "Art-Net") names what the output sends in its refusals.
  CNetworkOutput(std::string name, std::string protocol, std::unique_ptr<CDatagramSocket> socket,
                 CInterfaceChoice interfaces);

  // A network node takes the place of an open-DMX adapter.
  bool Answers(int id, int model) override;
  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override;
  void Flush(std::chrono::milliseconds limit) override { m_sender.Flush(limit); }
  void SetFaultHandler(std::function<void(const CError&)> handler) override {
    m_sender.SetFaultHandler(std::move(handler));
  }
  std::string Name() const override { return m_name; }

  // The name the program goes by on the network: "Vexmira on HOST", at most 63 bytes.
  static std::string StationName();

 protected:
  // A refusal naming the interface and its protocol: "The DMX interface NAME sends PROTOCOL, which ...".
  CError Refusal(const std::string& which) const;
  // The addresses the output sends by now, among the interfaces that are up.
  std::vector<CLocalAddress> PickAddresses() { return m_interfaces.Pick(m_sender.LocalAddresses()); }

  const std::string m_name;
  const std::string m_protocol;
  const CInterfaceChoice m_interfaces;
  CUdpSender m_sender;
};
