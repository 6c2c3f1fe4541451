// An open serial device: the fd, its path, and errors worded for the user.
#pragma once
#include "base/Error.h"
#include "outputs/TtyControl.h"

#include <chrono>
#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

class CTtyPort final {
 public:
  // Opens `path` through `control`. Errors name the device and, where there is one, the fix
  // (a permission error names the dialout group and the udev rule we ship).
  static std::expected<std::unique_ptr<CTtyPort>, CError> Open(const std::string& path,
                                                                std::shared_ptr<CTtyControl> control);
  // The user's message for a failed open of `path`.
  static CError OpenError(const std::string& path, std::error_code error);

  ~CTtyPort();
  CTtyPort(const CTtyPort&) = delete;
  CTtyPort& operator=(const CTtyPort&) = delete;

  std::expected<void, CError> Configure(const CTtySettings& settings);
  std::expected<void, CError> SetBreak(bool on);
  std::expected<void, CError> Drain();
  // The port's RS-485 mode; nothing where the driver has none.
  std::optional<CTtyRs485> Rs485() const;
  // Changes the RS-485 mode for as long as the port is open; closing puts back what it was.
  std::expected<void, CError> SetRs485(const CTtyRs485& rs485);
  // Raises or clears RTS; false where the device has no modem lines (a pseudo-terminal).
  bool SetRts(bool raised);
  // Writes every byte, waiting while the driver's buffer is full, for at most `limit` in all.
  // A hang-up (the device went away) or a stall past the limit is an error.
  std::expected<void, CError> WriteAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds limit);
  // What arrives within `limit`; returns as soon as something has arrived (empty: nothing came).
  std::expected<std::vector<std::uint8_t>, CError> ReadSome(std::chrono::milliseconds limit);
  // Throws away whatever the device sent before now.
  void DiscardInput();

  // The clock the wire is paced by: the device's control keeps it.
  CTtyControl::Clock::time_point Now() const { return m_control->Now(); }
  void WaitUntil(CTtyControl::Clock::time_point deadline) const { m_control->WaitUntil(deadline); }

  const std::string& Path() const { return m_path; }

 private:
  CTtyPort(std::string path, int fd, std::shared_ptr<CTtyControl> control);
  CError Failure(const char* what, std::error_code error) const;
  std::chrono::milliseconds Left(CTtyControl::Clock::time_point deadline) const;

  std::string m_path;
  int m_fd;
  std::shared_ptr<CTtyControl> m_control;
  std::optional<CTtyRs485> m_rs485AtOpen;  // set once the mode was changed
};
