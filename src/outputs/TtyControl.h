// The system calls a serial output makes on its tty, and the clock it paces the wire by, behind
// one seam so tests can stand in a device of their own.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <system_error>

// Line settings of a tty: always 8 data bits, no parity, no flow control, raw bytes.
struct CTtySettings {
  int baud = 0;
  int stopBits = 1;
  bool operator==(const CTtySettings&) const = default;
};

// A port's RS-485 mode as the kernel keeps it: when enabled, the driver itself sets RTS (the
// transceiver's driver-enable) to one level while bytes go out and to another once they are out.
struct CTtyRs485 {
  bool enabled = false;
  bool rtsOnSend = false;
  bool rtsAfterSend = false;
  bool operator==(const CTtyRs485&) const = default;
};

// Each call is one system call (or a short fixed sequence of them) and returns the errno it met.
// Calls on one fd come from one thread at a time.
class CTtyControl {
 public:
  using Clock = std::chrono::steady_clock;
  enum class EWait { Readable, Writable };

  CTtyControl() = default;
  CTtyControl(const CTtyControl&) = delete;
  CTtyControl& operator=(const CTtyControl&) = delete;
  virtual ~CTtyControl() = default;

  // Opens the device for non-blocking reading and writing, for this process alone (EBUSY when
  // another program holds it, before anything on it is changed); the fd.
  virtual std::expected<int, std::error_code> Open(const std::string& path) = 0;
  // Puts back the line settings the device had when it was opened, lets it go and closes the fd.
  virtual void Close(int fd) = 0;
  // Sets the speed (any baud, not just the standard ones) and raw 8-bit framing.
  virtual std::expected<void, std::error_code> Configure(int fd, const CTtySettings& settings) = 0;
  // Holds the line in the break (space) state, or releases it.
  virtual std::expected<void, std::error_code> SetBreak(int fd, bool on) = 0;
  // Writes what the driver takes now: the number of bytes taken (EAGAIN when none).
  virtual std::expected<std::size_t, std::error_code> Write(int fd, std::span<const std::uint8_t> bytes) = 0;
  // Waits until the driver has sent everything written so far.
  virtual std::expected<void, std::error_code> Drain(int fd) = 0;
  // The port's RS-485 mode; an error (ENOTTY) where the driver has none.
  virtual std::expected<CTtyRs485, std::error_code> GetRs485(int fd) = 0;
  // Sets the three settings above, leaving the driver's other RS-485 settings as they are.
  virtual std::expected<void, std::error_code> SetRs485(int fd, const CTtyRs485& rs485) = 0;
  // Raises or clears the RTS modem line (an error where the device has no modem lines).
  virtual std::expected<void, std::error_code> SetRts(int fd, bool raised) = 0;
  // Reads what has arrived: the number of bytes (EAGAIN when nothing has, 0 once the device hung up).
  virtual std::expected<std::size_t, std::error_code> Read(int fd, std::span<std::uint8_t> buffer) = 0;
  // Waits at most `limit` for the device to take bytes or to have some; false when time ran out.
  // A device that hung up or failed is an error.
  virtual std::expected<bool, std::error_code> Wait(int fd, EWait what, std::chrono::milliseconds limit) = 0;

  virtual Clock::time_point Now() = 0;
  // Returns at `deadline`, within a few microseconds for short waits (a break lasts 120 us).
  virtual void WaitUntil(Clock::time_point deadline) = 0;
};
