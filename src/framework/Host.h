// What only a windowing system can do for a dialog: modal runs, timers, message boxes,
// file dialogs, the periodic-timer thread and posting work to the GUI thread.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CDialog;

enum class EMessageIcon { None, Error, Warning, Information };

// A box that only informs has an OK button; a question has Yes and No.
enum class EMessageButtons { Ok, YesNo };
enum class EMessageReply { Ok, Yes, No };

struct CMessageBox {
  std::string text;
  std::string caption;
  EMessageIcon icon = EMessageIcon::None;
  int ownerResourceId = 0;  // 0: no owner window
  EMessageButtons buttons = EMessageButtons::Ok;
};

enum class EFileDialogKind { Open, Save };

struct CFileDialog {
  EFileDialogKind kind = EFileDialogKind::Open;
  std::string defaultExtension;  // "zkc"
  std::string initialName;       // "*.zkc"
  std::string filter;            // "Name (*.zkc)|*.zkc|All Files (*.*)|*.*||"
  bool hideReadOnly = true;
  bool fileMustExist = true;
};

class CHost {
 public:
  using PeriodicCallback = std::function<void()>;

  CHost() = default;
  CHost(const CHost&) = delete;
  CHost& operator=(const CHost&) = delete;
  virtual ~CHost() = default;

  // The host every dialog uses; set once at start-up.
  static CHost& Current();
  static void SetCurrent(CHost* host);

  // Creates the dialog's window, runs OnInitDialog and a nested loop until the dialog
  // ends, then sends it WM_DESTROY and destroys the window. Returns EndDialog's result.
  virtual int RunModal(CDialog& dialog) = 0;

  // Window timers of a dialog, by id; a timer started at t with period p is due at t + p, t + 2p ...
  virtual void SetTimer(CDialog& dialog, int timerId, int periodMs) = 0;
  virtual void KillTimer(CDialog& dialog, int timerId) = 0;

  // Shows a message box and waits until it is answered. A question closed without a choice
  // (Escape, the close box) is answered No, the safe reply.
  virtual EMessageReply ShowMessageBox(const CMessageBox& box) = 0;
  // Closes every question still open that the dialog `ownerResourceId` owns, as if answered No:
  // for a question the program's own course has made pointless (the transfer it asks about has
  // ended), so that an answer can never act on what is no longer there.
  virtual void WithdrawQuestions(int ownerResourceId) = 0;

  // A file dialog; the chosen file's full path, or nothing when cancelled.
  virtual std::optional<std::string> ShowFileDialog(const CFileDialog& dialog) = 0;

  // A periodic timer whose callback runs on a thread of its own, against absolute
  // deadlines. Stop waits until a callback under way has returned.
  virtual int StartPeriodicTimer(int periodMs, PeriodicCallback callback) = 0;
  virtual void StopPeriodicTimer(int timerId) = 0;

  // Runs work on the GUI thread soon; safe to call from any thread.
  virtual void PostToGui(std::function<void()> work) = 0;

  // Microseconds since the host started, on its clock (virtual under the script host).
  virtual std::int64_t NowUs() const = 0;

  // What the program remembers for the user from one run to the next (a chosen interface, a panel
  // left open), by key; nothing when it is not set. Writing nothing forgets the key.
  virtual std::optional<std::string> ReadSetting(const std::string& key) const = 0;
  virtual void WriteSetting(const std::string& key, const std::optional<std::string>& value) = 0;
};
