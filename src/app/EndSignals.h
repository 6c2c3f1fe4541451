// Ending the program in order on SIGINT, SIGTERM and SIGHUP, as when the launcher closes.
#pragma once

// The handler only notes the signal and makes EndSignalFd() readable; the program's own loop (the
// Qt event loop, the script run's watcher) then closes the dialogs, the line stands by, the
// outputs and the capture close, and EndBySignal ends the process by that signal. A second
// signal while this goes on ends the program at once.
void InstallEndSignals();
// Readable once a signal has come (a byte per notice); -1 before InstallEndSignals.
int EndSignalFd();
// Makes EndSignalFd() readable without a signal (ReceivedEndSignal() stays 0): a watcher's cue to stop.
void WakeEndSignalWatch();
// The signal that came, 0 if none.
int ReceivedEndSignal();
// Says on stderr which signal ended the program, then ends it by that signal's default action, so
// the parent sees a death by it (exit status 128 + N in a shell).
[[noreturn]] void EndBySignal(int signal);
