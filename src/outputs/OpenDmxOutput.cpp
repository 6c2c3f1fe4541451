// Break, mark-after-break and slots on a serial adapter, paced by the wire.
#include "outputs/OpenDmxOutput.h"

#include "link/LineConstants.h"

#include <vector>

namespace {

// Break, mark-after-break, then the start code and the slots.
class COpenDmxFraming final : public CSerialFraming {
 public:
  std::expected<void, CError> Write(CTtyPort& port, const CDmxFrame& frame) override {
    const std::vector<std::uint8_t> bytes = frame.StartCodeAndSlots();
    if (auto on = port.SetBreak(true); !on) {
      return on;
    }
    port.WaitUntil(port.Now() + kDmxBreak);
    if (auto off = port.SetBreak(false); !off) {
      return off;
    }
    port.WaitUntil(port.Now() + kDmxMarkAfterBreak);
    const auto writeStart = port.Now();
    if (auto written = port.WriteAll(bytes, CSerialOutput::kWriteLimit); !written) {
      return written;
    }
    // The next break must not cut into this frame: the driver's queue empties first, and the
    // adapter's own buffer needs the frame's wire time.
    if (auto drained = port.Drain(); !drained) {
      return drained;
    }
    port.WaitUntil(writeStart + DmxBytesTime(bytes.size()));
    return {};
  }
};

}  // namespace

std::expected<std::unique_ptr<CDmxOutput>, CError> COpenDmxOutput::Create(std::unique_ptr<CTtyPort> port) {
  if (auto configured = port->Configure(kSettings); !configured) {
    return std::unexpected(configured.error());
  }
  // The line idles in mark until the first frame; a break left on by an earlier program ends.
  if (auto off = port->SetBreak(false); !off) {
    return std::unexpected(off.error());
  }
  return std::unique_ptr<CDmxOutput>(new COpenDmxOutput(std::move(port)));
}

COpenDmxOutput::COpenDmxOutput(std::unique_ptr<CTtyPort> port)
    : CSerialOutput("opendmx", kOpenDmxModel, std::move(port), std::make_unique<COpenDmxFraming>()) {}

