// termios2/BOTHER lives in <asm/termbits.h>, whose struct termios clashes with <termios.h>: this file
// is the only one that includes it, and it must never include <termios.h>.
#include "outputs/KernelTtyControl.h"

#include "base/RetryOnInterrupt.h"

#include <asm/termbits.h>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// UARTs tolerate a few percent; a driver that rounds further away cannot talk DMX.
constexpr double kSpeedTolerance = 0.02;

// Waits shorter than this spin: a sleep could oversleep by more than the wait itself.
constexpr std::chrono::microseconds kSpinBelow{200};

}  // namespace

struct CKernelTtyControl::CSavedSettings {
  termios2 settings{};
};

CKernelTtyControl::CKernelTtyControl() = default;

CKernelTtyControl::~CKernelTtyControl() = default;

std::shared_ptr<CTtyControl> CKernelTtyControl::Shared() {
  static const std::shared_ptr<CTtyControl> control = std::make_shared<CKernelTtyControl>();
  return control;
}

std::expected<int, std::error_code> CKernelTtyControl::Open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return std::unexpected(LastError());
  }
  auto saved = std::make_unique<CSavedSettings>();
  if (::ioctl(fd, TCGETS2, &saved->settings) != 0) {  // ENOTTY: a plain file or another kind of device
    const std::error_code error = LastError();
    ::close(fd);
    return std::unexpected(error);
  }
  // A port another program has locked stays its own: nothing is changed on it, nothing written.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const std::error_code error =
        errno == EWOULDBLOCK ? std::make_error_code(std::errc::device_or_resource_busy) : LastError();
    ::close(fd);
    return std::unexpected(error);
  }
  // Keeps other programs from opening it while we have it; they fail with EBUSY.
  ::ioctl(fd, TIOCEXCL);
  std::lock_guard lock(m_mutex);
  m_saved[fd] = std::move(saved);
  return fd;
}

void CKernelTtyControl::Close(int fd) {
  std::unique_ptr<CSavedSettings> saved;
  {
    std::lock_guard lock(m_mutex);
    if (auto found = m_saved.find(fd); found != m_saved.end()) {
      saved = std::move(found->second);
      m_saved.erase(found);
    }
  }
  if (saved) {
    ::ioctl(fd, TCSETS2, &saved->settings);  // the next program finds the port as we found it
  }
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);  // gives up the lock too
}

std::expected<void, std::error_code> CKernelTtyControl::Configure(int fd, const CTtySettings& settings) {
  termios2 tio{};
  if (::ioctl(fd, TCGETS2, &tio) != 0) {
    return std::unexpected(LastError());
  }
  // Input speed bits left at 0 mean "the same as the output speed".
  tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
  tio.c_cflag |= BOTHER | CS8 | CLOCAL | CREAD;
  if (settings.stopBits == 2) {
    tio.c_cflag |= CSTOPB;
  }
  tio.c_ispeed = static_cast<speed_t>(settings.baud);
  tio.c_ospeed = static_cast<speed_t>(settings.baud);
  tio.c_iflag = IGNBRK | IGNPAR;  // no XON/XOFF, no CR/LF mapping
  tio.c_oflag = 0;                // no output processing: every byte goes out as it is
  tio.c_lflag = 0;                // no echo, no line editing, no signals
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::ioctl(fd, TCSETS2, &tio) != 0) {
    return std::unexpected(LastError());
  }
  termios2 check{};
  if (::ioctl(fd, TCGETS2, &check) != 0) {
    return std::unexpected(LastError());
  }
  const double wanted = settings.baud;
  if (std::abs(static_cast<double>(check.c_ospeed) - wanted) > wanted * kSpeedTolerance) {
    return std::unexpected(std::make_error_code(std::errc::invalid_argument));
  }
  return {};
}

std::expected<void, std::error_code> CKernelTtyControl::SetBreak(int fd, bool on) {
  if (::ioctl(fd, on ? TIOCSBRK : TIOCCBRK) != 0) {
    return std::unexpected(LastError());
  }
  return {};
}

std::expected<std::size_t, std::error_code> CKernelTtyControl::Write(int fd, std::span<const std::uint8_t> bytes) {
  const ssize_t written = RetryOnInterrupt([&] { return ::write(fd, bytes.data(), bytes.size()); });
  if (written < 0) return std::unexpected(LastError());
  return static_cast<std::size_t>(written);
}

std::expected<void, std::error_code> CKernelTtyControl::Drain(int fd) {
  // TCSBRK with a non-zero argument is tcdrain(): it waits for the output queue, sends no break.
  if (RetryOnInterrupt([&] { return ::ioctl(fd, TCSBRK, 1); }) < 0) return std::unexpected(LastError());
  return {};
}

std::expected<CTtyRs485, std::error_code> CKernelTtyControl::GetRs485(int fd) {
  serial_rs485 rs485{};
  if (::ioctl(fd, TIOCGRS485, &rs485) != 0) return std::unexpected(LastError());
  return CTtyRs485{(rs485.flags & SER_RS485_ENABLED) != 0, (rs485.flags & SER_RS485_RTS_ON_SEND) != 0,
                   (rs485.flags & SER_RS485_RTS_AFTER_SEND) != 0};
}

std::expected<void, std::error_code> CKernelTtyControl::SetRs485(int fd, const CTtyRs485& wanted) {
  serial_rs485 rs485{};
  if (::ioctl(fd, TIOCGRS485, &rs485) != 0) return std::unexpected(LastError());
  const auto set = [&](std::uint32_t flag, bool on) { rs485.flags = on ? rs485.flags | flag : rs485.flags & ~flag; };
  set(SER_RS485_ENABLED, wanted.enabled);
  set(SER_RS485_RTS_ON_SEND, wanted.rtsOnSend);
  set(SER_RS485_RTS_AFTER_SEND, wanted.rtsAfterSend);
  if (::ioctl(fd, TIOCSRS485, &rs485) != 0) return std::unexpected(LastError());
  return {};
}

std::expected<void, std::error_code> CKernelTtyControl::SetRts(int fd, bool raised) {
  const int line = TIOCM_RTS;
  if (::ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &line) != 0) return std::unexpected(LastError());
  return {};
}

std::expected<std::size_t, std::error_code> CKernelTtyControl::Read(int fd, std::span<std::uint8_t> buffer) {
  const ssize_t got = RetryOnInterrupt([&] { return ::read(fd, buffer.data(), buffer.size()); });
  if (got < 0) return std::unexpected(LastError());
  return static_cast<std::size_t>(got);
}

std::expected<bool, std::error_code> CKernelTtyControl::Wait(int fd, EWait what, std::chrono::milliseconds limit) {
  const short wanted = what == EWait::Readable ? POLLIN : POLLOUT;
  pollfd wait{fd, wanted, 0};
  const int ready = ::poll(&wait, 1, static_cast<int>(limit.count()));
  if (ready < 0) {
    if (errno == EINTR) {
      return false;  // the caller looks at its deadline and asks again
    }
    return std::unexpected(LastError());
  }
  if (ready > 0 && (wait.revents & wanted) == 0) {
    return std::unexpected(std::make_error_code(std::errc::io_error));  // hung up or failed
  }
  return ready > 0;
}

void CKernelTtyControl::WaitUntil(Clock::time_point deadline) {
  if (deadline - Clock::now() > kSpinBelow) {
    std::this_thread::sleep_until(deadline);
  }
  while (Clock::now() < deadline) {
  }
}
