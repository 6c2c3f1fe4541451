// Frames to a Pro-style widget in label-6 messages, and the serial-number probe.
#include "outputs/ProOutput.h"

#include "base/LittleEndian.h"
#include "outputs/DmxTiming.h"
#include "outputs/ProMessage.h"

#include <vector>

namespace {

// One frame in one message with the family's label.
class CProFraming final : public CSerialFraming {
 public:
  explicit CProFraming(std::uint8_t sendLabel) : m_sendLabel(sendLabel) {}

  std::expected<void, CError> Write(CTtyPort& port, const CDmxFrame& frame) override {
    const std::vector<std::uint8_t> data = frame.StartCodeAndSlots();
    const auto start = port.Now();
    if (auto written = port.WriteAll(CProMessage::Encode(m_sendLabel, data), CSerialOutput::kWriteLimit); !written) {
      return written;
    }
    // The widget keeps only the newest frame: the next one waits until this one has had the
    // time to go out once.
    port.WaitUntil(start + DmxFrameTime(data.size()));
    return {};
  }

 private:
  std::uint8_t m_sendLabel;
};

}  // namespace

std::expected<std::unique_ptr<CDmxOutput>, CError> CProOutput::Create(std::unique_ptr<CTtyPort> port,
                                                                      CProFamily family) {
  if (auto configured = port->Configure(kSettings); !configured) {
    return std::unexpected(configured.error());
  }
  return std::unique_ptr<CDmxOutput>(new CProOutput(std::move(port), family));
}

bool CProOutput::Probe(CTtyPort& port, std::chrono::milliseconds limit) {
  return port.Configure(kSettings) && ProbeSerialNumber(port, limit);
}

std::optional<std::uint32_t> CProOutput::ProbeSerialNumber(CTtyPort& port, std::chrono::milliseconds limit) {
  const auto deadline = port.Now() + limit;
  port.DiscardInput();
  if (!port.WriteAll(CProMessage::Encode(CProMessage::kLabelSerialNumber, {}), limit)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> received;
  while (port.Now() < deadline) {
    auto more = port.ReadSome(std::chrono::ceil<std::chrono::milliseconds>(deadline - port.Now()));
    if (!more || more->empty()) {
      return std::nullopt;  // no answer in time, or the device hung up
    }
    received.insert(received.end(), more->begin(), more->end());
    while (auto message = CProMessage::Take(received)) {
      // A widget receiving DMX may report it first; only the serial number answers the question.
      if (message->label == CProMessage::kLabelSerialNumber && message->data.size() >= 4) {
        return ReadU32Le(message->data, 0);
      }
    }
  }
  return std::nullopt;
}

CProOutput::CProOutput(std::unique_ptr<CTtyPort> port, CProFamily family)
    : CSerialOutput(family.kind, kProWidgetModel, std::move(port), std::make_unique<CProFraming>(family.sendLabel)) {}

std::expected<void, CError> CProOutput::AcceptsMode(const CDmxMode& mode) {
  if (mode.length > kMaxWidgetSlots) {
    return std::unexpected(CError{"The DMX interface " + Name() + " is a Pro-style widget, which sends at most " +
                                  std::to_string(kMaxWidgetSlots) + " slots; a frame of " + std::to_string(mode.length) +
                                  " slots needs an open-DMX adapter (--interface opendmx:/dev/ttyUSBn)"});
  }
  return {};
}
