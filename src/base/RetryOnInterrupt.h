// A system call that a signal interrupts before it did anything fails with EINTR: it is simply made again.
#pragma once
#include <cerrno>

// Makes `call` until it does not fail with EINTR; returns its last result (negative on failure, errno set).
template <typename Call>
auto RetryOnInterrupt(Call&& call) {
  for (;;) {
    const auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}
