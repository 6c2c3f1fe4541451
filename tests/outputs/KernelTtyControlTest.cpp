// The kernel tty calls on a pseudo-terminal: raw 8N2 or 8N1 set-up (bytes and errors are checked through the outputs).
#include "outputs/KernelTtyControl.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

TEST(ThreadedKernelTtyControl, SetsRawEightBitsWithTheStopBitsAsked) {
  CPtyPair pty;
  CKernelTtyControl control;
  auto fd = control.Open(pty.SlavePath());
  ASSERT_TRUE(fd) << fd.error().message();
  auto configured = control.Configure(*fd, {250000, 2});
  if (!configured && configured.error() == std::errc::invalid_argument) {
    ::close(*fd);
    GTEST_SKIP() << "this kernel's pseudo-terminals take no custom speed";
  }
  ASSERT_TRUE(configured) << configured.error().message();
  termios tio{};
  ASSERT_EQ(::tcgetattr(*fd, &tio), 0);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(tio.c_cflag & (PARENB | CRTSCTS), 0u);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(tio.c_iflag & (IXON | ICRNL), 0u);

  ASSERT_TRUE(control.Configure(*fd, {115200, 1}));
  ASSERT_EQ(::tcgetattr(*fd, &tio), 0);
  EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
  ::close(*fd);
}
