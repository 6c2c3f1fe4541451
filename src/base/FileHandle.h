// An open file descriptor that is closed on every path out of scope.
#pragma once
#include <cerrno>
#include <unistd.h>

class CFileHandle final {
 public:
  explicit CFileHandle(int fd) : m_fd(fd) {}
  CFileHandle(const CFileHandle&) = delete;
  CFileHandle& operator=(const CFileHandle&) = delete;
  ~CFileHandle() {
    if (m_fd >= 0) ::close(m_fd);
  }

  int Get() const { return m_fd; }
  bool IsOpen() const { return m_fd >= 0; }
  // Closes now, so that a failing close can be reported; returns errno or 0.
  int Close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int m_fd;
};
