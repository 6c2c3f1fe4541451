// The Qt host: runs every dialog as a Qt window with real timers, message boxes and file dialogs.
#pragma once
#include "framework/Host.h"
#include "framework/Messages.h"
#include "framework/PeriodicThread.h"

#include <chrono>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class CDialogWindow;
class QDialog;
class QEventLoop;
class QObject;
class QTimer;
class QWidget;

class CQtHost final : public CHost {
 public:
  // Needs a QApplication.
  CQtHost();
  ~CQtHost() override;

  // The windows of the dialogs running now; the last one is on top.
  CDialogWindow* TopWindow() const;
  // The window of the dialog that runs under all others (the launcher); null while none runs.
  CDialogWindow* MainWindow() const;
  CDialogWindow* WindowOf(const CDialog& dialog) const;
  // Closes every running dialog as its close box would, the topmost first, and asks nothing: a box
  // or file dialog open now is dismissed, and later ones get at once the reply their close box
  // gives (No, Cancel). For an end nobody asked for at the keyboard (a signal).
  void CloseAll();

  // CHost
  int RunModal(CDialog& dialog) override;
  void SetTimer(CDialog& dialog, int timerId, int periodMs) override;
  void KillTimer(CDialog& dialog, int timerId) override;
  EMessageReply ShowMessageBox(const CMessageBox& box) override;
  std::optional<std::string> ShowFileDialog(const CFileDialog& dialog) override;
  int StartPeriodicTimer(int periodMs, PeriodicCallback callback) override;
  void StopPeriodicTimer(int timerId) override;
  void PostToGui(std::function<void()> work) override;
  std::int64_t NowUs() const override;

 private:
  struct CRunning {
    CDialog* dialog;
    CDialogWindow* window;
    QEventLoop* loop;
  };

  // Dispatches a message to a dialog, then ends the loops of dialogs that have ended.
  void Send(CDialog& dialog, const CMessage& message);
  void EndFinishedLoops();
  void ReactivateTop();
  QWidget* OwnerFor(int resourceId) const;
  void KillTimersOf(const CDialog& dialog);

  std::chrono::steady_clock::time_point m_start;
  std::unique_ptr<QObject> m_context;  // receives posted work; parent of the window timers
  std::vector<CRunning> m_running;
  std::vector<QDialog*> m_boxes;  // message boxes and file dialogs open now, the last on top
  bool m_closingAll = false;
  std::map<std::pair<const CDialog*, int>, QTimer*> m_timers;  // owned by m_context
  std::map<int, std::unique_ptr<CPeriodicThread>> m_periodic;
  int m_nextPeriodicId = 1;
};
