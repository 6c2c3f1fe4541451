// sACN (ANSI E1.31) to a node or to the universe's multicast group.
#pragma once
#include "outputs/InterfaceOptions.h"
#include "outputs/NetworkOutput.h"
#include "outputs/SacnPacket.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>

// Every start code travels, in property value 0; at most 512 slots. When the line stands by and
// when the output goes away, the stream ends with three packets marked terminated, so receivers
// let go of the universe at once instead of after their timeout.
class CSacnOutput final : public CNetworkOutput {
 public:
  static constexpr int kTerminationPackets = 3;
  // How long the last packets may take to leave when the output goes away.
  static constexpr std::chrono::milliseconds kCloseLimit{200};

  // The grammar of "sacn:UNIVERSE[@HOST][,priority=N]".
  static CInterfaceGrammar Grammar();
  // The output the interface name stands for: unicast to HOST, or the universe's multicast group
  // on the default interface; the CID from the user's configuration folder.
  static std::expected<std::unique_ptr<CSacnOutput>, CError> Open(std::string_view name);

  CSacnOutput(std::string name, CSacnPacket packet, std::unique_ptr<CDatagramSocket> socket);
  ~CSacnOutput() override;

  void Send(const CDmxFrame& frame) override;
  void StandBy() override { Terminate(); }

  // Ends the stream now (nothing if it has ended already); the next frame starts it again.
  void Terminate();

 private:
  std::mutex m_mutex;  // the sequence and the last frame: the line's threads and the sender's
  CSacnPacket m_packet;
  std::uint8_t m_sequence = 0;
  CDmxFrame m_lastFrame;
  bool m_streaming = false;
};
