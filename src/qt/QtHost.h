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
  // A window of no owner that tools open beside when both fit on the screen (the line monitor).
  void SetSideWindow(QWidget* window) { m_sideWindow = window; }
  // Closes every running dialog as its close box would, the topmost first, and asks nothing: a box
  // or file dialog open now is dismissed, and later ones get at once the reply their close box
  // gives (No, Cancel). For an end nobody asked for at the keyboard (a signal).
  void CloseAll();

  // CHost
  int RunModal(CDialog& dialog) override;
  void SetTimer(CDialog& dialog, int timerId, int periodMs) override;
  void KillTimer(CDialog& dialog, int timerId) override;
  EMessageReply ShowMessageBox(const CMessageBox& box) override;
  void WithdrawQuestions(int ownerResourceId) override;
  std::optional<std::string> ShowFileDialog(const CFileDialog& dialog) override;
  int StartPeriodicTimer(int periodMs, PeriodicCallback callback) override;
  void StopPeriodicTimer(int timerId) override;
  void PostToGui(std::function<void()> work) override;
  std::int64_t NowUs() const override;
  // In the user's settings file.
  std::optional<std::string> ReadSetting(const std::string& key) const override;
  void WriteSetting(const std::string& key, const std::optional<std::string>& value) override;

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
  // Where a dialog's window opens: where the user last left it, if that is on a screen; a tool
  // beside the side window when both fit; else over its owner.
  void Place(CDialogWindow& window, const QWidget* owner) const;

  std::chrono::steady_clock::time_point m_start;
  std::unique_ptr<QObject> m_context;  // receives posted work; parent of the window timers
  std::vector<CRunning> m_running;
  // Message boxes and file dialogs open now, the last on top; a signal closes them all, a dialog
  // withdraws its own questions.
  struct COpenBox {
    QDialog* box;
    int ownerResourceId;  // 0 for file dialogs
    bool question;
  };
  std::vector<COpenBox> m_boxes;
  bool m_closingAll = false;
  std::map<std::pair<const CDialog*, int>, QTimer*> m_timers;  // owned by m_context
  std::map<int, std::unique_ptr<CPeriodicThread>> m_periodic;
  int m_nextPeriodicId = 1;
  QWidget* m_sideWindow = nullptr;
};
