// What the serial outputs share: the port, the writer thread that feeds it, and the name.
#pragma once
#include "link/DmxOutput.h"
#include "outputs/SerialFraming.h"
#include "outputs/SerialWriter.h"
#include "outputs/TtyPort.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

// Frames queue up for a writer thread of the output's own, so no caller waits for the wire; the
// derived outputs only say how a frame is put on the wire. The port belongs to the writer: it is
// closed once the writer thread has stopped, never under it.
class CSerialOutput : public CDmxOutput {
 public:
  // A frame that the driver does not take within this is a fault.
  static constexpr std::chrono::milliseconds kWriteLimit{1000};

  bool Answers(int id, int model) final;
  void Send(const CDmxFrame& frame) final;
  void StandBy() final;
  void Flush(std::chrono::milliseconds limit) final;
  void SetFaultHandler(std::function<void(const CError&)> handler) final;
  std::string Name() const final { return m_name; }

 protected:
  // Named "<kind>:<device path>"; answers DmxLinkOpen for `model`. The port and the framing
  // belong to the writer thread from here on.
  CSerialOutput(std::string_view kind, int model, std::unique_ptr<CTtyPort> port,
                std::unique_ptr<CSerialFraming> framing);

 private:
  int m_model;
  std::string m_name;
  CSerialWriter m_writer;
};
