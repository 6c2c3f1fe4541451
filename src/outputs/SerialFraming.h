// How a serial output puts one frame on the wire: the part that tells the serial outputs apart.
#pragma once
#include "base/Error.h"
#include "link/DmxFrame.h"
#include "outputs/TtyPort.h"

#include <expected>

// A framing may keep state between frames (a widget's label, the time of the last break). It runs
// on the writer thread, which may outlive the output (see CSerialWriter), so it uses nothing but
// the port and itself.
class CSerialFraming {
 public:
  virtual ~CSerialFraming() = default;
  // Puts one frame on the wire and returns when the next may start.
  virtual std::expected<void, CError> Write(CTtyPort& port, const CDmxFrame& frame) = 0;
  // The line stopped sending (stand-by, or the output closes) and every frame before is out:
  // ends whatever the adapter goes on doing by itself. Most adapters send only what they get.
  virtual std::expected<void, CError> StandBy(CTtyPort& port) {
    (void)port;
    return {};
  }
};
