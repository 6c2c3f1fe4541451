// An open-DMX adapter (FTDI FT232R-style or RS-485 serial) driven through the kernel tty.
#pragma once
#include "outputs/DmxTiming.h"
#include "outputs/SerialOutput.h"

// What the interface name can add: "opendmx:DEVICE,rts=on".
struct COpenDmxOptions {
  bool keepRts = false;  // RTS stays raised, for adapters that take it as their driver-enable
};

// The computer makes every DMX frame itself: break, mark-after-break, start code and slots at
// 250000 baud 8N2, paced by the wire: never faster than it can carry them.
class COpenDmxOutput final : public CSerialOutput {
 public:
  static constexpr CTtySettings kSettings{kDmxBaud, kDmxStopBits};
  // A zero byte at this speed is the break where the driver's own is slow: start bit and 8 data
  // bits hold the line low for 156 us, its stop bit (17 us) begins the mark-after-break.
  static constexpr CTtySettings kLowBaudBreakSettings{57600, 1};
  static constexpr std::chrono::microseconds kLowBaudByteTime{174};
  // A break that takes longer leaves too little of the firmware upgrade's 35 ms tick for its
  // 559-slot frames (24.6 ms of wire).
  static constexpr std::chrono::milliseconds kMaxBreakTime{10};

  // Sets up an open device for DMX: line settings, RS-485 mode or RTS, and a break that is fast
  // enough (the driver's, or a zero byte at a lower speed); refuses an adapter that has neither.
  static std::expected<std::unique_ptr<CDmxOutput>, CError> Create(std::unique_ptr<CTtyPort> port,
                                                                    COpenDmxOptions options = {});

 private:
  COpenDmxOutput(std::unique_ptr<CTtyPort> port, std::unique_ptr<CSerialFraming> framing);
};
