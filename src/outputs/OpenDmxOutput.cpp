// Break, mark-after-break and slots on a serial adapter, paced by the wire.
#include "outputs/OpenDmxOutput.h"

#include "link/LineConstants.h"

#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Waits of a few microseconds: a sleep could oversleep by far more than the wait itself.
void SpinUntil(Clock::time_point deadline) {
  while (Clock::now() < deadline) {
  }
}

std::expected<void, CError> WriteFrame(CTtyPort& port, const CDmxFrame& frame) {
  const std::vector<std::uint8_t> bytes = frame.StartCodeAndSlots();

  if (auto on = port.SetBreak(true); !on) {
    return on;
  }
  SpinUntil(Clock::now() + kDmxBreak);
  if (auto off = port.SetBreak(false); !off) {
    return off;
  }
  SpinUntil(Clock::now() + kDmxMarkAfterBreak);
  const auto writeStart = Clock::now();
  if (auto written = port.WriteAll(bytes, COpenDmxOutput::kWriteLimit); !written) {
    return written;
  }
  // The next break must not cut into this frame: the driver's queue empties first, and the
  // adapter's own buffer needs the frame's wire time.
  if (auto drained = port.Drain(); !drained) {
    return drained;
  }
  std::this_thread::sleep_until(writeStart + DmxBytesTime(bytes.size()));
  return {};
}

}  // namespace

std::expected<std::unique_ptr<COpenDmxOutput>, CError> COpenDmxOutput::Open(const std::string& path,
                                                                             std::shared_ptr<CTtyControl> control) {
  auto port = CTtyPort::Open(path, std::move(control));
  if (!port) {
    return std::unexpected(port.error());
  }
  return Create(std::move(*port));
}

std::expected<std::unique_ptr<COpenDmxOutput>, CError> COpenDmxOutput::Create(std::unique_ptr<CTtyPort> port) {
  if (auto configured = port->Configure(kSettings); !configured) {
    return std::unexpected(configured.error());
  }
  // The line idles in mark until the first frame; a break left on by an earlier program ends.
  if (auto off = port->SetBreak(false); !off) {
    return std::unexpected(off.error());
  }
  std::string name = "opendmx:" + port->Path();
  return std::unique_ptr<COpenDmxOutput>(new COpenDmxOutput(std::move(name), std::move(port)));
}

COpenDmxOutput::COpenDmxOutput(std::string name, std::shared_ptr<CTtyPort> port)
    : m_name(name), m_writer(std::move(name), [port](const CDmxFrame& frame) { return WriteFrame(*port, frame); }) {}

bool COpenDmxOutput::Answers(int id, int model) { return id == kInterfaceId && model == kOpenDmxModel; }

void COpenDmxOutput::Send(const CDmxFrame& frame) { m_writer.Push(frame); }

void COpenDmxOutput::Flush(std::chrono::milliseconds limit) { m_writer.Flush(limit); }

void COpenDmxOutput::SetFaultHandler(std::function<void(const CError&)> handler) {
  m_writer.SetFaultHandler(std::move(handler));
}
