// The kernel tty calls on a pseudo-terminal, which keeps the settings and passes the bytes on.
#include "outputs/KernelTtyControl.h"

#include <asm/termbits.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

termios2 Settings(int fd) {
  termios2 tio{};
  EXPECT_EQ(::ioctl(fd, TCGETS2, &tio), 0);
  return tio;
}

bool Same(const termios2& a, const termios2& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(ThreadedKernelTtyControl, TakesThePortAloneSetsRawBytesAtAnySpeedAndGivesItBackAsItWas) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
  const std::string path = ::ptsname(master);
  const int other = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);  // how another program sees the port
  const termios2 before = Settings(other);
  CKernelTtyControl control;
  auto fd = control.Open(path);
  ASSERT_TRUE(fd) << fd.error().message();
  EXPECT_EQ(control.Open(path), std::unexpected(std::make_error_code(std::errc::device_or_resource_busy)));
  ASSERT_TRUE(control.Configure(*fd, {250000, 2}));
  termios2 tio = Settings(*fd);
  EXPECT_EQ(tio.c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER));
  EXPECT_EQ(tio.c_ospeed, 250000u);
  EXPECT_EQ(tio.c_cflag & (CSIZE | CSTOPB | PARENB | CRTSCTS), static_cast<tcflag_t>(CS8 | CSTOPB));
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL), 0u);
  EXPECT_TRUE(control.SetBreak(*fd, true) && control.SetBreak(*fd, false));

  EXPECT_EQ(control.Wait(master, CTtyControl::EWait::Readable, 10ms), false);  // nothing has come yet
  std::vector<std::uint8_t> sent(256), received;
  std::iota(sent.begin(), sent.end(), 0);  // line feeds, XOFF, end of file: all plain data
  ASSERT_EQ(control.Write(*fd, sent), sent.size());
  EXPECT_TRUE(control.Drain(*fd));
  std::uint8_t buffer[512];
  while (received.size() < sent.size() && control.Wait(master, CTtyControl::EWait::Readable, 2000ms).value_or(false)) {
    received.insert(received.end(), buffer, buffer + control.Read(master, buffer).value_or(0));
  }
  EXPECT_EQ(received, sent);
  ASSERT_TRUE(control.Configure(*fd, {115200, 1}));
  EXPECT_EQ(Settings(*fd).c_ospeed, 115200u);
  control.Close(*fd);
  EXPECT_TRUE(Same(Settings(other), before));
  EXPECT_EQ(control.Open("/dev/null"), std::unexpected(std::make_error_code(std::errc::inappropriate_io_control_operation)));
  ::close(other);
  ::close(master);
}
