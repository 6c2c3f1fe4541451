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
  std::map<std::pair<const CDialog*, int>, QTimer*> m_timers;  // owned by m_context
  std::map<int, std::unique_ptr<CPeriodicThread>> m_periodic;
  int m_nextPeriodicId = 1;
};
