// An open-DMX adapter (FTDI FT232R-style or RS-485 serial) driven through the kernel tty.
#pragma once
#include "outputs/DmxTiming.h"
#include "outputs/SerialOutput.h"

// The computer makes every DMX frame itself: break, mark-after-break, start code and slots at
// 250000 baud 8N2, paced by the wire: never faster than it can carry them.
class COpenDmxOutput final : public CSerialOutput {
 public:
  static constexpr CTtySettings kSettings{kDmxBaud, kDmxStopBits};

  // Sets up an open device for DMX.
  static std::expected<std::unique_ptr<CDmxOutput>, CError> Create(std::unique_ptr<CTtyPort> port);

 private:
  explicit COpenDmxOutput(std::unique_ptr<CTtyPort> port);
};
