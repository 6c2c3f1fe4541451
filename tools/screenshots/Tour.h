// A walk through the program's dialogs on the Qt host: each step waits until the window it
// needs is up, then acts as a user would or saves a picture of it.
#pragma once
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class CDialog;
class CDialogWindow;
class CQtHost;
class QMessageBox;
class QWidget;

class CTour final {
 public:
  CTour(CQtHost& host, QString folder);

  // Adds a step: once `ready` holds (and, if asked, `afterMs` have passed since the step before),
  // `act` runs from the event loop; it may open a dialog. A step that is not ready within a few
  // seconds ends the tour: every dialog closes.
  void Then(QString name, std::function<bool()> ready, std::function<void()> act, int afterMs = 0);
  // Whether the topmost dialog is the one with this resource number, up and active.
  bool Showing(int resourceId) const;
  // The message box up now, if one is.
  QMessageBox* Box() const;
  CDialogWindow& Top() const;
  CDialog& TopDialog() const;

  // What a user does: presses a button, closes the dialog (close box).
  void Click(int controlId) const;
  void Close() const;
  // The dialog's window timer 1 ticks `count` times at once.
  void Tick(int count) const;
  // Saves the window, with a caption bar as a window manager draws it, as folder/name.png.
  void Shoot(QWidget& window, const QString& name);

  // True once every step has run; what went wrong, if anything did.
  bool Done() const { return m_steps.empty(); }
  const QStringList& Problems() const { return m_problems; }

 private:
  struct CStep {
    QString name;
    std::function<bool()> ready;
    std::function<void()> act;
    int afterMs;
  };
  void Poll();

  CQtHost& m_host;
  QString m_folder;
  std::deque<CStep> m_steps;
  QTimer m_timer;
  bool m_acting = false;
  int m_waited = 0;  // polls the first step has waited
  QStringList m_problems;
};
