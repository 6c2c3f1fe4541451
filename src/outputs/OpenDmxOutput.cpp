// Break, mark-after-break and slots on a serial adapter, paced by the wire.
#include "outputs/OpenDmxOutput.h"

#include "link/LineConstants.h"

#include <vector>

namespace {

using std::chrono::milliseconds;

// Break, mark-after-break, then the start code and the slots.
class COpenDmxFraming final : public CSerialFraming {
 public:
  explicit COpenDmxFraming(bool lowBaudBreak) : m_lowBaudBreak(lowBaudBreak) {}

  std::expected<void, CError> Write(CTtyPort& port, const CDmxFrame& frame) override {
    const std::vector<std::uint8_t> bytes = frame.StartCodeAndSlots();
    if (auto broken = Break(port); !broken) {
      return broken;
    }
    const auto writeStart = port.Now();
    if (auto written = port.WriteAll(bytes, CSerialOutput::kWriteLimit); !written) {
      return written;
    }
    // The next break must not cut into this frame. The break ioctl itself first waits until the
    // driver has sent everything (on USB adapters it polls the chip), so only the adapter's own
    // buffer needs the frame's wire time here; a drain of our own would add another poll.
    port.WaitUntil(writeStart + DmxBytesTime(bytes.size()));
    return {};
  }

  // A break and the mark after it.
  std::expected<void, CError> Break(CTtyPort& port) {
    // Frames that queued up (short ones, after a stall) must not come closer than receivers allow.
    port.WaitUntil(m_breakStart + kDmxMinBreakToBreak);
    if (m_lowBaudBreak) {
      if (auto slow = port.Configure(COpenDmxOutput::kLowBaudBreakSettings); !slow) return slow;
      const std::uint8_t zero[] = {0};
      if (auto written = port.WriteAll(zero, CSerialOutput::kWriteLimit); !written) return written;
      // The speed may change only once the byte has left: the driver has handed it to the chip
      // when the drain returns (some drivers cannot tell more), then it takes its wire time.
      if (auto drained = port.Drain(); !drained) return drained;
      m_breakStart = port.Now();
      port.WaitUntil(m_breakStart + COpenDmxOutput::kLowBaudByteTime);
      return port.Configure(COpenDmxOutput::kSettings);
    }
    if (auto on = port.SetBreak(true); !on) {
      return on;
    }
    m_breakStart = port.Now();
    port.WaitUntil(m_breakStart + kDmxBreak);
    if (auto off = port.SetBreak(false); !off) {
      return off;
    }
    port.WaitUntil(port.Now() + kDmxMarkAfterBreak);
    return {};
  }

 private:
  bool m_lowBaudBreak;
  CTtyControl::Clock::time_point m_breakStart{};  // when the last break surely had begun
};

// How long one break takes on `port` with this framing.
std::expected<CTtyControl::Clock::duration, CError> TimeBreak(CTtyPort& port, COpenDmxFraming& framing) {
  const auto start = port.Now();
  if (auto broken = framing.Break(port); !broken) return std::unexpected(broken.error());
  return port.Now() - start;
}

std::string Milliseconds(CTtyControl::Clock::duration time) {
  return std::to_string(std::chrono::duration_cast<milliseconds>(time).count()) + " ms";
}

}  // namespace

std::expected<std::unique_ptr<CDmxOutput>, CError> COpenDmxOutput::Create(std::unique_ptr<CTtyPort> port,
                                                                          COpenDmxOptions options) {
  if (auto configured = port->Configure(kSettings); !configured) {
    return std::unexpected(configured.error());
  }
  if (auto rs485 = port->Rs485(); rs485 && rs485->enabled) {
    // In RS-485 mode the driver turns the transceiver off once the bytes are out, and the break
    // comes after that: it would never reach the bus. This line only sends, so it stays on.
    if (rs485->rtsAfterSend != rs485->rtsOnSend) {
      CTtyRs485 sending = *rs485;
      sending.rtsAfterSend = sending.rtsOnSend;
      if (auto set = port->SetRs485(sending); !set) return std::unexpected(set.error());
    }
  } else {
    // Opening raised RTS; open-DMX adapters expect it cleared. Devices without modem lines have
    // nothing to clear.
    port->SetRts(options.keepRts);
  }

  // Some chips have no break of their own and the driver makes a slow one (CH34x: about 200 ms).
  // The first break, which also ends one an earlier program may have left on, tells.
  auto framing = std::make_unique<COpenDmxFraming>(false);
  auto breakTime = TimeBreak(*port, *framing);
  if (!breakTime) return std::unexpected(breakTime.error());
  if (*breakTime > kMaxBreakTime) {
    framing = std::make_unique<COpenDmxFraming>(true);
    auto lowBaudTime = TimeBreak(*port, *framing);
    if (!lowBaudTime) return std::unexpected(lowBaudTime.error());
    if (*lowBaudTime > kMaxBreakTime) {
      return std::unexpected(CError{
          port->Path() + " cannot make DMX breaks fast enough: its driver takes " + Milliseconds(*breakTime) +
          " for a break (a chip without a break of its own, such as some CH340s) and " + Milliseconds(*lowBaudTime) +
          " to change speed for a zero byte instead; every DMX frame starts with a break, and at most " +
          Milliseconds(kMaxBreakTime) + " leave the tools their pace. Use an FTDI-based adapter."});
    }
  }
  return std::unique_ptr<CDmxOutput>(new COpenDmxOutput(std::move(port), std::move(framing)));
}

COpenDmxOutput::COpenDmxOutput(std::unique_ptr<CTtyPort> port, std::unique_ptr<CSerialFraming> framing)
    : CSerialOutput("opendmx", kOpenDmxModel, std::move(port), std::move(framing)) {}
