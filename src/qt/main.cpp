// vexmira: the command line, then either the script mode (no display needed) or the windows.
#include "app/CommandLine.h"
#include "app/EndSignals.h"
#include "app/LineMonitorHook.h"
#include "app/Program.h"
#include "app/Application.h"
#include "framework/Dialog.h"
#include "qt/DialogWindow.h"
#include "qt/DisplayCheck.h"
#include "qt/LineMonitor.h"
#include "qt/ProgramIcon.h"
#include "qt/QtHost.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto commandLine = ParseCommandLine(args);
  if (!commandLine) {
    PrintError(commandLine.error().message);
    return 2;
  }
  if (commandLine->help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (commandLine->version) {
    std::fputs(VersionText(), stdout);
    return 0;
  }

  // Every tool's message boxes carry the executable's name as their caption.
  const std::string name = argc > 0 ? std::filesystem::path(argv[0]).stem().string() : std::string("vexmira");
  SetApplicationName(name);

  // A reader of the capture that goes away must not end the program: writes then fail instead.
  std::signal(SIGPIPE, SIG_IGN);
  InstallEndSignals();
  if (commandLine->scriptPath) return RunScriptMode(*commandLine);
  // A mistake in the interface is told first: it is the user's to mend wherever the program runs.
  // Without --interface the application finds one itself, or lets the user choose.
  if (commandLine->interfaceName) {
    if (const auto configured = ConfigureOutput(*commandLine); !configured) {
      PrintError(configured.error().message);
      return 2;
    }
  }
  // Qt aborts when it finds no display to show windows on; the program says so itself instead.
  if (!CanOpenDisplay()) {
    std::fputs("vexmira: no display to show windows on (no X server answers at DISPLAY, no Wayland compositor "
               "at WAYLAND_DISPLAY); to run without windows, use --script FILE\n",
               stderr);
    CloseLine();
    return 2;
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromStdString(name));
  // The installed desktop entry's id, so that desktops put the windows under its name and icon.
  QApplication::setDesktopFileName("org.vexmira.Vexmira");
  QApplication::setWindowIcon(CProgramIcon::Icon());
  // The program ends when the launcher's run returns, not when a window closes.
  QApplication::setQuitOnLastWindowClosed(false);

  CQtHost host;
  CHost::SetCurrent(&host);
  // After the host: a capture that fails at once is shown in a message box like any later failure.
  if (const auto started = StartCapture(*commandLine, ReportCaptureFailure); !started) {
    PrintError(started.error().message);
    CloseLine();
    CHost::SetCurrent(nullptr);
    return 2;
  }
  // A signal closes the dialogs from the GUI thread, as their close boxes would.
  std::unique_ptr<QSocketNotifier> endSignal;
  if (EndSignalFd() >= 0) {
    endSignal = std::make_unique<QSocketNotifier>(EndSignalFd(), QSocketNotifier::Read);
    QObject::connect(endSignal.get(), &QSocketNotifier::activated, qApp, [&endSignal, &host] {
      endSignal->setEnabled(false);
      host.CloseAll();
    });
  }
  std::unique_ptr<CLineMonitor> monitor;
  SetLineMonitorOpener(
      [&monitor, &host] {
        if (!monitor) {
          monitor = std::make_unique<CLineMonitor>(CDmxLine::Instance());
          if (QWidget* launcher = host.MainWindow()) monitor->PlaceBeside(*launcher);
          host.SetSideWindow(monitor.get());
        }
        monitor->show();
        monitor->raise();
        monitor->activateWindow();
      },
      commandLine->monitor);
  WatchLineFaults();
  CApplication(CDmxLine::Instance(), {.interfaceName = commandLine->interfaceName.value_or(""),
                                      .search = !commandLine->interfaceName,
                                      .chooseFirst = commandLine->chooseInterface})
      .InitInstance();
  FinishLine();
  SetLineMonitorOpener({});
  host.SetSideWindow(nullptr);
  monitor.reset();
  CloseLine();  // a capture failure on the way is told by ReportCaptureFailure
  endSignal.reset();
  CHost::SetCurrent(nullptr);
  if (const int signal = ReceivedEndSignal()) EndBySignal(signal);
  return 0;
}
