// The kernel tty calls on a pseudo-terminal: raw 8N2 set-up, bytes unchanged, errors passed on.
#include "link/KernelTtyControl.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(ThreadedKernelTtyControl, SetsRawEightBitsTwoStopBitsAndPassesBytesUnchanged) {
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

  // Line ends, control characters and 0xFF go out as they are.
  const Bytes bytes{0x00, 0x0A, 0x0D, 0x03, 0x11, 0x13, 0x7F, 0xFF};
  EXPECT_EQ(control.Write(*fd, bytes), bytes.size());
  EXPECT_TRUE(control.Drain(*fd));
  ASSERT_TRUE(pty.WaitForBytes(bytes.size()));
  EXPECT_EQ(pty.Received(), bytes);

  // One stop bit on request.
  ASSERT_TRUE(control.Configure(*fd, {115200, 1}));
  ASSERT_EQ(::tcgetattr(*fd, &tio), 0);
  EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);

  pty.CloseMaster();  // unplugged: the errors come back as they are
  EXPECT_EQ(control.Write(*fd, bytes), std::unexpected(std::make_error_code(std::errc::io_error)));
  ::close(*fd);
}

TEST(KernelTtyControl, RefusesWhatIsNoTty) {
  CKernelTtyControl control;
  const std::string plain = ::testing::TempDir() + "vexmira_plain_file";
  std::ofstream(plain) << "x";
  EXPECT_EQ(control.Open(plain), std::unexpected(std::make_error_code(std::errc::inappropriate_io_control_operation)));
  EXPECT_EQ(control.Open("/dev/vexmira-no-such-tty"),
            std::unexpected(std::make_error_code(std::errc::no_such_file_or_directory)));
}
