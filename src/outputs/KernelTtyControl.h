// The tty system calls of a Linux kernel serial driver (termios2, any baud rate, break by ioctl).
#pragma once
#include "outputs/TtyControl.h"

#include <map>
#include <memory>
#include <mutex>

// Open takes the port for this process alone (an advisory lock, refused when another program holds
// one, then the tty's exclusive mode) and notes its line settings; Close puts them back.
class CKernelTtyControl final : public CTtyControl {
 public:
  // The one process-wide instance.
  static std::shared_ptr<CTtyControl> Shared();

  CKernelTtyControl();
  ~CKernelTtyControl() override;

  std::expected<int, std::error_code> Open(const std::string& path) override;
  void Close(int fd) override;
  std::expected<void, std::error_code> Configure(int fd, const CTtySettings& settings) override;
  std::expected<void, std::error_code> SetBreak(int fd, bool on) override;
  std::expected<std::size_t, std::error_code> Write(int fd, std::span<const std::uint8_t> bytes) override;
  std::expected<void, std::error_code> Drain(int fd) override;
  std::expected<CTtyRs485, std::error_code> GetRs485(int fd) override;
  std::expected<void, std::error_code> SetRs485(int fd, const CTtyRs485& rs485) override;
  std::expected<void, std::error_code> SetRts(int fd, bool raised) override;
  std::expected<std::size_t, std::error_code> Read(int fd, std::span<std::uint8_t> buffer) override;
  std::expected<bool, std::error_code> Wait(int fd, EWait what, std::chrono::milliseconds limit) override;
  Clock::time_point Now() override { return Clock::now(); }
  void WaitUntil(Clock::time_point deadline) override;

 private:
  struct CSavedSettings;  // a port's settings as Open found them

  std::mutex m_mutex;
  std::map<int, std::unique_ptr<CSavedSettings>> m_saved;  // by fd
};
