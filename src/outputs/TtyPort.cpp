// Opening, writing and reading a serial device, with errors a user can act on.
#include "outputs/TtyPort.h"

#include <algorithm>
#include <cerrno>

std::expected<std::unique_ptr<CTtyPort>, CError> CTtyPort::Open(const std::string& path,
                                                                 std::shared_ptr<CTtyControl> control) {
  auto fd = control->Open(path);
  if (!fd) {
    return std::unexpected(OpenError(path, fd.error()));
  }
  return std::unique_ptr<CTtyPort>(new CTtyPort(path, *fd, std::move(control)));
}

CError CTtyPort::OpenError(const std::string& path, std::error_code error) {
  const std::string head = "Cannot open " + path + ": ";
  switch (error.value()) {
    case EACCES:
    case EPERM:
      return {head +
              "permission denied. Add your user to the dialout group "
              "(sudo usermod -aG dialout $USER, then log out and in again), or install the udev rule "
              "that comes with the program: sudo cp res/60-vexmira-dmx.rules /etc/udev/rules.d/ && "
              "sudo udevadm control --reload && sudo udevadm trigger"};
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return {head + "no such device. Is the interface plugged in?"};
    case EBUSY:
      return {head + "the device is in use by another program"};
    case ENOTTY:
      return {head + "not a serial device"};
    default:
      return {head + error.message()};
  }
}

CTtyPort::CTtyPort(std::string path, int fd, std::shared_ptr<CTtyControl> control)
    : m_path(std::move(path)), m_fd(fd), m_control(std::move(control)) {}

CTtyPort::~CTtyPort() {
  if (m_rs485AtOpen) m_control->SetRs485(m_fd, *m_rs485AtOpen);
  m_control->Close(m_fd);
}

CError CTtyPort::Failure(const char* what, std::error_code error) const {
  return {m_path + ": " + what + ": " + error.message()};
}

std::chrono::milliseconds CTtyPort::Left(CTtyControl::Clock::time_point deadline) const {
  return std::max(std::chrono::ceil<std::chrono::milliseconds>(deadline - Now()), std::chrono::milliseconds(0));
}

std::expected<void, CError> CTtyPort::Configure(const CTtySettings& settings) {
  if (auto done = m_control->Configure(m_fd, settings); !done) {
    if (done.error() == std::errc::invalid_argument) {
      return std::unexpected(CError{m_path + ": the device cannot send at " + std::to_string(settings.baud) +
                                    " baud with " + std::to_string(settings.stopBits) + " stop bits"});
    }
    return std::unexpected(Failure("cannot set the line speed", done.error()));
  }
  return {};
}

std::expected<void, CError> CTtyPort::SetBreak(bool on) {
  if (auto done = m_control->SetBreak(m_fd, on); !done) {
    return std::unexpected(Failure(on ? "cannot start a break" : "cannot end a break", done.error()));
  }
  return {};
}

std::expected<void, CError> CTtyPort::Drain() {
  if (auto done = m_control->Drain(m_fd); !done) {
    return std::unexpected(Failure("cannot drain the output", done.error()));
  }
  return {};
}

std::optional<CTtyRs485> CTtyPort::Rs485() const {
  auto rs485 = m_control->GetRs485(m_fd);
  if (!rs485) return std::nullopt;
  return *rs485;
}

std::expected<void, CError> CTtyPort::SetRs485(const CTtyRs485& rs485) {
  const std::optional<CTtyRs485> before = m_rs485AtOpen ? m_rs485AtOpen : Rs485();
  if (auto done = m_control->SetRs485(m_fd, rs485); !done) {
    return std::unexpected(Failure("cannot set the RS-485 mode", done.error()));
  }
  m_rs485AtOpen = before;
  return {};
}

bool CTtyPort::SetRts(bool raised) { return m_control->SetRts(m_fd, raised).has_value(); }

std::expected<void, CError> CTtyPort::WriteAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds limit) {
  const auto deadline = Now() + limit;
  while (!bytes.empty()) {
    auto written = m_control->Write(m_fd, bytes);
    if (!written && written.error() != std::errc::resource_unavailable_try_again) {
      return std::unexpected(Failure("write failed", written.error()));
    }
    if (written && *written > 0) {
      bytes = bytes.subspan(*written);
      continue;
    }
    // The driver's buffer is full: wait for room, or notice that the device is gone.
    auto ready = m_control->Wait(m_fd, CTtyControl::EWait::Writable, Left(deadline));
    if (!ready) {
      return std::unexpected(Failure("write failed", ready.error()));
    }
    if (!*ready && Now() >= deadline) {
      return std::unexpected(CError{m_path + ": the device stopped taking data"});
    }
  }
  return {};
}

std::expected<std::vector<std::uint8_t>, CError> CTtyPort::ReadSome(std::chrono::milliseconds limit) {
  const auto deadline = Now() + limit;
  std::vector<std::uint8_t> received;
  for (;;) {
    std::uint8_t buffer[1024];
    auto got = m_control->Read(m_fd, buffer);
    if (!got && got.error() != std::errc::resource_unavailable_try_again) {
      return std::unexpected(Failure("read failed", got.error()));
    }
    if (got && *got > 0) {
      received.insert(received.end(), buffer, buffer + *got);
      continue;  // take everything already there
    }
    // Nothing more now, or a hang-up (nothing will come): done if anything came or time is up.
    if (got || !received.empty() || Now() >= deadline) {
      return received;
    }
    if (!m_control->Wait(m_fd, CTtyControl::EWait::Readable, Left(deadline))) {
      return received;
    }
  }
}

void CTtyPort::DiscardInput() {
  std::uint8_t buffer[1024];
  for (auto got = m_control->Read(m_fd, buffer); got && *got > 0; got = m_control->Read(m_fd, buffer)) {
  }
}
