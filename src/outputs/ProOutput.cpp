// Frames to a Pro-style widget in label-6 messages, and the serial-number probe.
#include "outputs/ProOutput.h"

#include "base/LittleEndian.h"
#include "outputs/DmxTiming.h"
#include "outputs/ProMessage.h"

#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::expected<void, CError> WriteFrame(CTtyPort& port, const CDmxFrame& frame) {
  const std::vector<std::uint8_t> data = frame.StartCodeAndSlots();
  const auto start = Clock::now();
  if (auto written = port.WriteAll(CProMessage::Encode(CProMessage::kLabelSendDmx, data), CProOutput::kWriteLimit);
      !written) {
    return written;
  }
  // The widget keeps only the newest frame: the next one waits until this one has had the
  // time to go out once (break, mark-after-break, start code and slots).
  std::this_thread::sleep_until(start + DmxFrameTime(data.size()));
  return {};
}

}  // namespace

std::expected<std::unique_ptr<CProOutput>, CError> CProOutput::Open(const std::string& path,
                                                                     std::shared_ptr<CTtyControl> control) {
  auto port = CTtyPort::Open(path, std::move(control));
  if (!port) {
    return std::unexpected(port.error());
  }
  return Create(std::move(*port));
}

std::expected<std::unique_ptr<CProOutput>, CError> CProOutput::Create(std::unique_ptr<CTtyPort> port) {
  if (auto configured = port->Configure(kSettings); !configured) {
    return std::unexpected(configured.error());
  }
  std::string name = "pro:" + port->Path();
  return std::unique_ptr<CProOutput>(new CProOutput(std::move(name), std::move(port)));
}

std::optional<std::uint32_t> CProOutput::ProbeSerialNumber(CTtyPort& port, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  port.DiscardInput();
  if (!port.WriteAll(CProMessage::Encode(CProMessage::kLabelSerialNumber, {}), limit)) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> received;
  while (Clock::now() < deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    auto more = port.ReadSome(left);
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

CProOutput::CProOutput(std::string name, std::shared_ptr<CTtyPort> port)
    : m_name(name), m_writer(std::move(name), [port](const CDmxFrame& frame) { return WriteFrame(*port, frame); }) {}

bool CProOutput::Answers(int id, int model) { return id == kInterfaceId && model == kProWidgetModel; }

std::expected<void, CError> CProOutput::AcceptsMode(const CDmxMode& mode) {
  if (mode.length > kMaxWidgetSlots) {
    return std::unexpected(CError{"The DMX interface " + m_name + " is a Pro-style widget, which sends at most " +
                                  std::to_string(kMaxWidgetSlots) + " slots; a frame of " + std::to_string(mode.length) +
                                  " slots needs an open-DMX adapter (--interface opendmx:/dev/ttyUSBn)"});
  }
  return {};
}

void CProOutput::Send(const CDmxFrame& frame) { m_writer.Push(frame); }

void CProOutput::Flush(std::chrono::milliseconds limit) { m_writer.Flush(limit); }

void CProOutput::SetFaultHandler(std::function<void(const CError&)> handler) {
  m_writer.SetFaultHandler(std::move(handler));
}
