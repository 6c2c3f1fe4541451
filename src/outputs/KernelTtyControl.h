// The tty system calls of a Linux kernel serial driver (termios2, any baud rate, break by ioctl).
#pragma once
#include "outputs/TtyControl.h"

#include <memory>

class CKernelTtyControl final : public CTtyControl {
 public:
  // The one process-wide instance; it has no state.
  static std::shared_ptr<CTtyControl> Shared();

  std::expected<int, std::error_code> Open(const std::string& path) override;
  void Close(int fd) override;
  std::expected<void, std::error_code> Configure(int fd, const CTtySettings& settings) override;
  std::expected<void, std::error_code> SetBreak(int fd, bool on) override;
  std::expected<std::size_t, std::error_code> Write(int fd, std::span<const std::uint8_t> bytes) override;
  std::expected<void, std::error_code> Drain(int fd) override;
  std::expected<std::size_t, std::error_code> Read(int fd, std::span<std::uint8_t> buffer) override;
  std::expected<bool, std::error_code> Wait(int fd, EWait what, std::chrono::milliseconds limit) override;
  Clock::time_point Now() override { return Clock::now(); }
  void WaitUntil(Clock::time_point deadline) override;
};
