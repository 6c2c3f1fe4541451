// The launcher, its system menu and the about box on the Qt host, as a user reaches them;
// screenshots go to the build directory's screenshots folder.
#include "FakeDialog.h"
#include "app/ZelkarLightingDMXTesterApp.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

class Screenshot : public QtHost {};

TEST_F(Screenshot, LauncherSystemMenuAndAboutBoxAsTheUserReachesThem) {
  CVirtualLine line;
  QStringList launcherButtons, menuTexts, aboutTexts;
  QSize launcherSize;
  QString aboutTitle;
  bool aboutHasIcon = false;
  CDialogWindow* launcher = nullptr;
  bool aboutOverLauncher = false;
  // The menu: grabbed, then its about item chosen.
  CPoller menuPicker([&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return false;
    SaveScreenshot(*menu, "launcher-system-menu.png", false);
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) menuTexts << action->text();
      if (action->data().toInt() == 16) menu->setActiveAction(action);
    }
    QTest::keyClick(menu, Qt::Key_Return);
    return true;
  });
  // The about box: grabbed, then closed with its Ok button.
  CPoller aboutCloser([&] {
    CDialogWindow* top = m_host->TopWindow();
    if (!top || top->Dialog().ResourceId() != 100 || !top->isActiveWindow()) return false;
    aboutTitle = top->windowTitle();
    aboutOverLauncher = top->parentWidget() == launcher && QApplication::activeModalWidget() == top;
    for (QLabel* label : top->findChildren<QLabel*>()) {
      if (label->pixmap().isNull()) aboutTexts << label->text();
      else aboutHasIcon = true;
    }
    SaveScreenshot(*top, "about.png");
    QTest::mouseClick(top->Widget(IDOK), Qt::LeftButton);
    return true;
  });
  CPoller launcherDriver([&] {
    launcher = m_host->TopWindow();
    if (!launcher || launcher->Dialog().ResourceId() != 102 || !launcher->isActiveWindow()) return false;
    launcherSize = launcher->size();
    for (int id = 1000; id <= 1003; ++id) launcherButtons << WidgetAs<QPushButton>(*launcher, id)->text();
    SaveScreenshot(*launcher, "launcher.png");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), launcher->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(launcher, &event);
    launcher->close();
    return true;
  });

  CZelkarLightingDMXTesterApp(line.Line()).InitInstance();

  EXPECT_EQ(launcherSize, QSize(269, 143));
  EXPECT_EQ(launcherButtons,
            (QStringList{"DMX Console", "Remote DMX addressing", "Remote fixture setup", "Fixture Firmware Upgrade"}));
  EXPECT_EQ(menuTexts, (QStringList{"&Close\tAlt+F4", "关于 Vexmira Ver1.0(&A)..."}));
  EXPECT_EQ(aboutTitle, "关于 Vexmira");
  EXPECT_EQ(aboutTexts, QStringList{"Vexmira V2.0"});
  EXPECT_TRUE(aboutHasIcon);
  EXPECT_TRUE(aboutOverLauncher) << "the about box is the modal window, owned by the launcher";
}
