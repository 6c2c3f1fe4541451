// A DMX USB Pro-style widget: frames go to it in label-6 messages; it makes the DMX timing itself.
#pragma once
#include "link/DmxOutput.h"
#include "link/LineConstants.h"
#include "outputs/KernelTtyControl.h"
#include "outputs/SerialWriter.h"
#include "outputs/TtyPort.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The widget repeats the last frame it was given; the writer hands frames over no faster than
// the widget can put each on the wire once, so every start reaches the line.
class CProOutput final : public CDmxOutput {
 public:
  // The widget talks over a USB FIFO and ignores the speed; serial-chip clones expect this one.
  static constexpr CTtySettings kSettings{115200, 1};
  static constexpr std::chrono::milliseconds kWriteLimit{1000};
  // A send-DMX message holds the start code and at most 512 slots.
  static constexpr int kMaxWidgetSlots = kUniverseSlots;

  static std::expected<std::unique_ptr<CProOutput>, CError> Open(
      const std::string& path, std::shared_ptr<CTtyControl> control = CKernelTtyControl::Shared());
  // Sets up a device already open.
  static std::expected<std::unique_ptr<CProOutput>, CError> Create(std::unique_ptr<CTtyPort> port);
  // Asks for the widget's serial number; the number if a reply comes within `limit`. A device
  // that does not answer is no Pro widget.
  static std::optional<std::uint32_t> ProbeSerialNumber(CTtyPort& port, std::chrono::milliseconds limit);

  bool Answers(int id, int model) override;
  // At most 512 slots (the start code and 512 slots fill a widget's message).
  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override;
  void Send(const CDmxFrame& frame) override;
  void Flush(std::chrono::milliseconds limit) override;
  void SetFaultHandler(std::function<void(const CError&)> handler) override;
  std::string Name() const override { return m_name; }

  std::optional<CError> Fault() const { return m_writer.Fault(); }
  std::uint64_t WrittenCount() const { return m_writer.WrittenCount(); }
  std::uint64_t CoalescedCount() const { return m_writer.CoalescedCount(); }

 private:
  CProOutput(std::string name, std::shared_ptr<CTtyPort> port);

  std::string m_name;
  CSerialWriter m_writer;
};
