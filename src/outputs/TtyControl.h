// The system calls a serial output makes on its tty, behind one seam so tests can stand in a pseudo-terminal.
#pragma once
#include <cstddef>
#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <system_error>

// Line settings of a tty: always 8 data bits, no parity, no flow control, raw bytes.
struct CTtySettings {
  int baud = 250000;
  int stopBits = 2;
  bool operator==(const CTtySettings&) const = default;
};

// Each call is one system call (or a short fixed sequence of them) and returns the errno it met.
// Calls on one fd come from one thread at a time.
class CTtyControl {
 public:
  CTtyControl() = default;
  CTtyControl(const CTtyControl&) = delete;
  CTtyControl& operator=(const CTtyControl&) = delete;
  virtual ~CTtyControl() = default;

  // Opens the device for non-blocking reading and writing, for this process alone; the fd.
  virtual std::expected<int, std::error_code> Open(const std::string& path) = 0;
  // Sets the speed (any baud, not just the standard ones) and raw 8-bit framing.
  virtual std::expected<void, std::error_code> Configure(int fd, const CTtySettings& settings) = 0;
  // Holds the line in the break (space) state, or releases it.
  virtual std::expected<void, std::error_code> SetBreak(int fd, bool on) = 0;
  // Writes what the driver takes now: the number of bytes taken (EAGAIN when none).
  virtual std::expected<std::size_t, std::error_code> Write(int fd, std::span<const std::uint8_t> bytes) = 0;
  // Waits until the driver has sent everything written so far.
  virtual std::expected<void, std::error_code> Drain(int fd) = 0;
};
