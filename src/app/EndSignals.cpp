// The signal handlers that turn SIGINT, SIGTERM and SIGHUP into an orderly end.
#include "app/EndSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t s_received = 0;
int s_pipe[2] = {-1, -1};

void OnSignal(int signal) {
  if (s_received != 0) {
    // The clean-up is already under way and the user insists: end now.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  s_received = signal;
  const int saved = errno;
  const char note = 1;
  (void)!::write(s_pipe[1], &note, 1);
  errno = saved;
}

const char* Name(int signal) {
  switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}

}  // namespace

void InstallEndSignals() {
  if (s_pipe[0] >= 0) return;
  if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // then the signals keep their default action
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kEndSignals) ::sigaction(signal, &action, nullptr);
}

int EndSignalFd() { return s_pipe[0]; }

void WakeEndSignalWatch() {
  const char note = 0;
  if (s_pipe[1] >= 0) (void)!::write(s_pipe[1], &note, 1);
}

int ReceivedEndSignal() { return s_received; }

void EndBySignal(int signal) {
  std::fprintf(stderr, "vexmira: ended by %s\n", Name(signal));
  std::fflush(nullptr);
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  std::raise(signal);
  std::_Exit(128 + signal);  // not reached: the default action of these signals ends the process
}
