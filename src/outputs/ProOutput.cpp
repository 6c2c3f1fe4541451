// Frames to a Pro-style widget in label-6 messages, its parameters, stand-by, and the probe.
#include "outputs/ProOutput.h"

#include "base/LittleEndian.h"
#include "outputs/DmxTiming.h"
#include "outputs/ProMessage.h"

#include <algorithm>
#include <vector>

namespace {

// The widget's reply to the parameters request: firmware version (2 bytes), break time, mark-after-
// break time, then the output rate in packets a second (1 to 40).
constexpr std::size_t kRateAt = 4;
constexpr int kMaxRate = 40;

// One frame in one message with the family's label.
class CProFraming final : public CSerialFraming {
 public:
  CProFraming(std::uint8_t sendLabel, std::chrono::microseconds period) : m_sendLabel(sendLabel), m_period(period) {}

  std::expected<void, CError> Write(CTtyPort& port, const CDmxFrame& frame) override {
    std::vector<std::uint8_t> data = frame.StartCodeAndSlots();
    data.resize(std::max(data.size(), CProOutput::kMinSendData), 0);
    const auto start = port.Now();
    if (auto written = port.WriteAll(CProMessage::Encode(m_sendLabel, data), CSerialOutput::kWriteLimit); !written) {
      return written;
    }
    // The widget keeps only the newest frame and sends it at its own rate: the next one waits
    // until this one has gone out once.
    port.WaitUntil(start + std::max<std::chrono::microseconds>(DmxFrameTime(data.size()), m_period));
    return {};
  }

  // Left alone, the widget would repeat the last frame for as long as it has power, after the
  // tool, or the whole program, has finished: any request but "send DMX" or "get parameters" ends
  // that. "Receive DMX on change" (0: report every packet) is the usual one and turns its port
  // to input.
  std::expected<void, CError> StandBy(CTtyPort& port) override {
    const std::uint8_t sendAlways[] = {0};
    return port.WriteAll(CProMessage::Encode(CProMessage::kLabelReceiveOnChange, sendAlways), CSerialOutput::kWriteLimit);
  }

 private:
  std::uint8_t m_sendLabel;
  std::chrono::microseconds m_period;  // between the widget's packets; 0 when it did not say
};

// Sends a request and returns the first reply with the same label that comes within `limit`.
std::optional<CProMessage> Ask(CTtyPort& port, std::uint8_t label, std::span<const std::uint8_t> data,
                               std::chrono::milliseconds limit) {
  const auto deadline = port.Now() + limit;
  port.DiscardInput();
  if (!port.WriteAll(CProMessage::Encode(label, data), limit)) {
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
      // A widget receiving DMX may report it first; only the reply answers the question.
      if (message->label == label) return message;
    }
  }
  return std::nullopt;
}

}  // namespace

std::expected<std::unique_ptr<CDmxOutput>, CError> CProOutput::Create(std::unique_ptr<CTtyPort> port,
                                                                      CProFamily family) {
  if (auto configured = port->Configure(kSettings); !configured) {
    return std::unexpected(configured.error());
  }
  // Clones that do not answer get frames paced by their wire time alone.
  const std::uint8_t noUserData[] = {0, 0};
  std::chrono::microseconds period{0};
  if (auto reply = Ask(*port, CProMessage::kLabelGetParameters, noUserData, kAnswerLimit);
      reply && reply->data.size() > kRateAt && reply->data[kRateAt] >= 1 && reply->data[kRateAt] <= kMaxRate) {
    period = std::chrono::microseconds(std::chrono::seconds(1)) / reply->data[kRateAt];
  }
  auto framing = std::make_unique<CProFraming>(family.sendLabel, period);
  // The line starts in stand-by: a widget still repeating a frame of an earlier run stops.
  if (auto stopped = framing->StandBy(*port); !stopped) {
    return std::unexpected(stopped.error());
  }
  return std::unique_ptr<CDmxOutput>(new CProOutput(std::move(port), family, std::move(framing)));
}

bool CProOutput::Probe(CTtyPort& port, std::chrono::milliseconds limit) {
  return port.Configure(kSettings) && ProbeSerialNumber(port, limit);
}

std::optional<std::uint32_t> CProOutput::ProbeSerialNumber(CTtyPort& port, std::chrono::milliseconds limit) {
  auto reply = Ask(port, CProMessage::kLabelSerialNumber, {}, limit);
  if (!reply || reply->data.size() < 4) return std::nullopt;
  return ReadU32Le(reply->data, 0);
}

CProOutput::CProOutput(std::unique_ptr<CTtyPort> port, CProFamily family, std::unique_ptr<CSerialFraming> framing)
    : CSerialOutput(family.kind, kProWidgetModel, std::move(port), std::move(framing)) {}

std::expected<void, CError> CProOutput::AcceptsMode(const CDmxMode& mode) {
  if (mode.length > kMaxWidgetSlots) {
    return std::unexpected(CError{"The DMX interface " + Name() + " is a Pro-style widget, which sends at most " +
                                  std::to_string(kMaxWidgetSlots) + " slots; a frame of " + std::to_string(mode.length) +
                                  " slots needs an open-DMX adapter (--interface opendmx:/dev/ttyUSBn)"});
  }
  return {};
}
