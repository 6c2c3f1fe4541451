// The kernel tty calls on a pseudo-terminal, which keeps the settings and passes the bytes on
// (its far end shows neither the speed nor a break).
#include "outputs/KernelTtyControl.h"

#include <asm/termbits.h>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

TEST(KernelTtyControl, SetsRawEightBitsAtAnySpeedPassesEveryByteUntouchedAndTakesBreaks) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
  CKernelTtyControl control;
  auto fd = control.Open(::ptsname(master));
  ASSERT_TRUE(fd) << fd.error().message();
  ASSERT_TRUE(control.Configure(*fd, {250000, 2}));
  termios2 tio{};
  ASSERT_EQ(::ioctl(*fd, TCGETS2, &tio), 0);
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
  ASSERT_EQ(::ioctl(*fd, TCGETS2, &tio), 0);
  EXPECT_EQ(tio.c_ospeed, 115200u);
  EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
  control.Close(*fd);
  ::close(master);
  EXPECT_EQ(control.Open("/dev/null"), std::unexpected(std::make_error_code(std::errc::inappropriate_io_control_operation)));
}
