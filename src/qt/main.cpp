// vexmira: the command line, then either the script mode (no display needed) or the windows.
#include "app/CommandLine.h"
#include "app/LineMonitorHook.h"
#include "app/Program.h"
#include "app/Application.h"
#include "framework/Dialog.h"
#include "qt/DialogWindow.h"
#include "qt/LineMonitor.h"
#include "qt/ProgramIcon.h"
#include "qt/QtHost.h"

#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

// Qt aborts when it finds no display to show windows on; the program says so itself instead.
// QT_QPA_PLATFORM names one on purpose (offscreen, vnc ...).
bool HasDisplay() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM"); }

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto commandLine = ParseCommandLine(args);
  if (!commandLine) {
    std::fprintf(stderr, "vexmira: %s\n", commandLine.error().message.c_str());
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
  if (commandLine->scriptPath) return RunScriptMode(*commandLine);
  if (!HasDisplay()) {
    std::fputs("vexmira: no display to show windows on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
               "to run without windows, use --script FILE\n",
               stderr);
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
  // Without --interface the application finds one itself, or lets the user choose.
  auto configured = commandLine->interfaceName ? ConfigureOutput(*commandLine) : std::expected<void, CError>{};
  if (configured) configured = StartCapture(*commandLine, ReportCaptureFailure);
  if (!configured) {
    std::fprintf(stderr, "vexmira: %s\n", configured.error().message.c_str());
    CHost::SetCurrent(nullptr);
    return 2;
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
  CHost::SetCurrent(nullptr);
  return 0;
}
