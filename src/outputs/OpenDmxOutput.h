// An open-DMX adapter (FTDI FT232R-style or RS-485 serial) driven through the kernel tty.
#pragma once
#include "link/DmxOutput.h"
#include "outputs/DmxTiming.h"
#include "outputs/KernelTtyControl.h"
#include "outputs/SerialWriter.h"
#include "outputs/TtyPort.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

// The computer makes every DMX frame itself: break, mark-after-break, start code and slots at
// 250000 baud, 8 data bits, 2 stop bits. A writer thread of its own does it, so no caller waits
// for the wire; frames are paced by the wire, never faster than it can carry them.
class COpenDmxOutput final : public CDmxOutput {
 public:
  static constexpr CTtySettings kSettings{kDmxBaud, kDmxStopBits};
  // A frame that the driver does not take within this is a fault.
  static constexpr std::chrono::milliseconds kWriteLimit{1000};
  // Opens and sets up the device at `path` (errors name the device and the fix).
  static std::expected<std::unique_ptr<COpenDmxOutput>, CError> Open(
      const std::string& path, std::shared_ptr<CTtyControl> control = CKernelTtyControl::Shared());
  // Sets up a device already open.
  static std::expected<std::unique_ptr<COpenDmxOutput>, CError> Create(std::unique_ptr<CTtyPort> port);

  bool Answers(int id, int model) override;
  void Send(const CDmxFrame& frame) override;
  void Flush(std::chrono::milliseconds limit) override;
  void SetFaultHandler(std::function<void(const CError&)> handler) override;
  std::string Name() const override { return m_name; }

  std::optional<CError> Fault() const { return m_writer.Fault(); }
  std::uint64_t WrittenCount() const { return m_writer.WrittenCount(); }
  std::uint64_t CoalescedCount() const { return m_writer.CoalescedCount(); }

 private:
  COpenDmxOutput(std::string name, std::shared_ptr<CTtyPort> port);

  std::string m_name;
  CSerialWriter m_writer;
};
