// vexmira_screenshots DIR: runs the program on the Qt host over a virtual line, walks through
// every dialog as a user would and saves a picture of each into DIR, with the program icon.
#include "Tour.h"

#include "app/Application.h"
#include "app/InterfaceChooserDlg.h"
#include "app/LauncherDlg.h"
#include "app/LineMonitorHook.h"
#include "framework/Dialog.h"
#include "link/DmxLine.h"
#include "outputs/OutputFactory.h"
#include "qt/DialogWindow.h"
#include "qt/LineMonitor.h"
#include "qt/ProgramIcon.h"
#include "qt/QtHost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// The dialogs by resource number, and the controls the tour uses.
constexpr int kLauncher = 102, kAbout = 100, kChooser = CInterfaceChooserDlg::kResourceId, kConsole = 129, kAddressingMenu = 133, kAutoSetup = 135,
              kManualSetup = 136, kFixtureMenu = 137, kFixturePanel = 134, kFirmware = 131;
constexpr int kAboutCommand = 16, kChasePanelCommand = 32;
constexpr int kFirstButton = 1000, kSecondButton = 1001, kThirdButton = 1002, kFourthButton = 1003;
constexpr int kProgressBar = 1272, kChaseAddButton = 1101, kModelList = 1288, kModelDependent = 1102;
constexpr int kFirmwarePath = 1005, kWaitingTicks = 200;
constexpr int FaderId(int column) { return 1004 + 3 * column; }

void AddSteps(CTour& tour, CLineMonitor& monitor) {
  const auto showing = [&tour](int resourceId) { return [&tour, resourceId] { return tour.Showing(resourceId); }; };
  const auto visible = [&tour](int resourceId, int controlId, bool shown = true) {
    return [&tour, resourceId, controlId, shown] {
      return tour.Showing(resourceId) && tour.Top().Widget(controlId)->isVisible() == shown;
    };
  };
  const auto shoot = [&tour](const char* name) { tour.Shoot(tour.Top(), name); };

  tour.Then("the launcher", showing(kLauncher), [=, &tour] {
    shoot("launcher");
    tour.TopDialog().Dispatch({EMessage::SysCommand, kAboutCommand, 0, 0});
  });
  tour.Then("the about box", showing(kAbout), [=, &tour] {
    shoot("about");
    tour.Click(IDOK);
  });

  tour.Then("the launcher before the chooser", showing(kLauncher), [&tour] {
    tour.TopDialog().Dispatch({EMessage::SysCommand, CLauncherDlg::kInterfaceCommand, 0, 0});
  });
  tour.Then("the interface chooser", showing(kChooser), [=, &tour] {
    using C = CInterfaceChooserDlg;
    CDialog& chooser = tour.TopDialog();
    chooser.Item(C::kKind).SetSelection(C::kSacn);  // a node, with every field it takes
    chooser.Dispatch({EMessage::Command, C::kKind, CBN_SELCHANGE, 0});
    for (const auto& [id, text] : {std::pair{C::kUniverse, "7"}, {C::kHost, "10.0.0.9"}, {C::kPriority, "150"}}) {
      chooser.SetItemText(id, text);
      chooser.Dispatch({EMessage::Command, id, EN_CHANGE, 0});
    }
    shoot("interface-chooser");
    tour.Click(IDCANCEL);
  });

  tour.Then("the launcher again", showing(kLauncher), [&tour] { tour.Click(kFirstButton); });
  tour.Then("the console", showing(kConsole), [=, &tour, &monitor] {
    CDialog& console = tour.TopDialog();
    for (int column = 0; column < 32; ++column) {  // some levels for the picture
      const int id = FaderId(column);
      console.Item(id).SetPos(255 - (column * 37) % 256);
      console.Dispatch({EMessage::VScroll, id, TB_THUMBTRACK, console.Item(id).Pos()});
    }
    shoot("console");
    OpenLineMonitor();
  });
  // The monitor's rate needs a second of the console's frames.
  tour.Then("the console running a while", [] { return true; }, [&tour, &monitor] {
    monitor.Refresh();
    tour.Shoot(monitor, "line-monitor");
    monitor.hide();
    tour.Top().activateWindow();
    tour.TopDialog().Dispatch({EMessage::SysCommand, kChasePanelCommand, 0, 0});
  }, 1200);
  tour.Then("the chase panel", visible(kConsole, kChaseAddButton), [=, &tour] {
    shoot("console-chase-panel");
    tour.Close();
  });

  tour.Then("the launcher again", showing(kLauncher), [&tour] { tour.Click(kSecondButton); });
  tour.Then("the addressing menu", showing(kAddressingMenu), [=, &tour] {
    shoot("addressing-menu");
    tour.Click(kFirstButton);
  });
  tour.Then("automatic setup", showing(kAutoSetup), [=, &tour] {
    shoot("auto-address-idle");
    tour.Click(kFirstButton);
  });
  tour.Then("automatic setup running", visible(kAutoSetup, kProgressBar), [=, &tour] {
    tour.Tick(100);
    shoot("auto-address-running");
    tour.Close();
  });
  tour.Then("the addressing menu again", showing(kAddressingMenu), [&tour] { tour.Click(kSecondButton); });
  tour.Then("manual setup", showing(kManualSetup), [=, &tour] {
    shoot("manual-address-waiting");
    tour.Tick(kWaitingTicks);
  });
  tour.Then("manual setup after waiting", visible(kManualSetup, kFirstButton), [=, &tour] {
    shoot("manual-address");
    tour.Close();
  });
  tour.Then("the addressing menu to close", showing(kAddressingMenu), [&tour] { tour.Close(); });

  tour.Then("the launcher again", showing(kLauncher), [&tour] { tour.Click(kThirdButton); });
  tour.Then("the fixture menu", showing(kFixtureMenu), [=, &tour] {
    shoot("fixture-menu");
    tour.Click(kThirdButton);
  });
  tour.Then("the fixture panel", showing(kFixturePanel), [=, &tour] {
    shoot("fixture-panel-waiting");
    tour.Tick(kWaitingTicks);
  });
  tour.Then("the model list", [&tour] { return tour.Showing(kFixturePanel) && tour.Top().Widget(kModelList)->isEnabled(); },
            [&tour] {
              auto* models = static_cast<QComboBox*>(tour.Top().Widget(kModelList));
              models->setCurrentIndex(0);
              Q_EMIT models->activated(0);
            });
  tour.Then("the fixture panel for the model", visible(kFixturePanel, kModelDependent, false), [=, &tour] {
    shoot("fixture-panel");
    tour.Close();
  });
  tour.Then("the fixture menu to close", showing(kFixtureMenu), [&tour] { tour.Close(); });

  tour.Then("the launcher again", showing(kLauncher), [&tour] { tour.Click(kFourthButton); });
  tour.Then("the firmware upgrade", showing(kFirmware), [=, &tour] {
    shoot("firmware-idle");
    tour.TopDialog().SetItemText(kFirmwarePath, VEXMIRA_SOURCE_DIR "/tests/scenarios/firmware-small.zku");
    tour.Click(kSecondButton);
  });
  tour.Then("the transfer", visible(kFirmware, kProgressBar), [=, &tour] {
    tour.Tick(40);
    shoot("firmware-transferring");
    tour.Close();
  });
  // Closing asks first; the user stops the transfer, and is told it stopped.
  tour.Then("the question before stopping", [&tour] { return tour.Box() != nullptr; }, [&tour] {
    tour.Shoot(*tour.Box(), "firmware-stop-question");
    tour.Box()->button(QMessageBox::Yes)->click();
  });
  tour.Then("the stop told", [&tour] { return tour.Box() != nullptr; }, [&tour] { tour.Box()->accept(); });
  tour.Then("the launcher to close", showing(kLauncher), [&tour] { tour.Close(); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vexmira_screenshots DIR\n");
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setWindowIcon(CProgramIcon::Icon());
  QApplication::setQuitOnLastWindowClosed(false);
  const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(folder);
  // Remembered window places and settings of a tour of its own, never the user's.
  const QTemporaryDir settings;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  for (int size : {16, 32, 48, 64, 128, 256})  // the program icon's pictures, as res/ keeps them
    CProgramIcon::Draw(size).save(folder + QString("/vexmira-%1.png").arg(size));

  CDmxLine line;
  line.SetOutput(std::move(*MakeOutput("virtual")));
  CQtHost host;
  CHost::SetCurrent(&host);
  CLineMonitor monitor(line);
  SetLineMonitorOpener([&monitor, &host] {
    monitor.PlaceBeside(*host.MainWindow());
    monitor.show();
  });
  host.SetSideWindow(&monitor);
  CTour tour(host, folder);
  AddSteps(tour, monitor);
  CApplication(line).InitInstance();
  SetLineMonitorOpener({});
  host.SetSideWindow(nullptr);
  CHost::SetCurrent(nullptr);

  QStringList problems = tour.Problems();
  if (!tour.Done()) problems << "the program ended before the tour";
  for (const QString& problem : problems) std::fprintf(stderr, "vexmira_screenshots: %s\n", qPrintable(problem));
  if (problems.isEmpty()) std::printf("pictures written to %s\n", qPrintable(folder));
  return problems.isEmpty() ? 0 : 1;
}
