// The window of one running dialog: a widget per control, each bound to its control, at its
// dialog-unit rectangle. The window keeps what is the dialog's as a whole: title, icon, focus,
// keys, closing and the system menu.
#pragma once
#include "framework/Dialog.h"
#include "qt/DialogUnits.h"

#include <QDialog>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class CControlBinding;

class CDialogWindow final : public QDialog {
 public:
  // Delivers a message to the dialog (the host dispatches it and notices a dialog that ended).
  using Send = std::function<void(const CMessage&)>;

  // Marks a change coming from the dialog while it is under way, so that the focus moves it
  // causes are not taken for the user's.
  class CApplying final {
   public:
    explicit CApplying(CDialogWindow& window) : m_window(window) { ++m_window.m_applying; }
    ~CApplying() { --m_window.m_applying; }
    CApplying(const CApplying&) = delete;
    CApplying& operator=(const CApplying&) = delete;

   private:
    CDialogWindow& m_window;
  };

  // The dialog's controls must exist. owner: the window this one is modal over, or null. scale:
  // a dialog unit's size against 96 dpi; the screen's unless given (to see a layout at another).
  CDialogWindow(CDialog& dialog, Send send, QWidget* owner, std::optional<double> scale = std::nullopt);
  ~CDialogWindow() override;
  CDialogWindow(const CDialogWindow&) = delete;
  CDialogWindow& operator=(const CDialogWindow&) = delete;

  CDialog& Dialog() const { return m_dialog; }
  // The widget of a control; null if the dialog has no control with that id.
  QWidget* Widget(int controlId) const;
  const CDialogUnits& Units() const { return m_units; }

  // Shows the window modally over its owner and makes it the active window.
  void ShowModal();
  // Stops mirroring and notifying: the dialog has ended and its controls are about to go.
  void Detach();
  bool IsAttached() const { return m_attached; }
  // Delivers a notification to the dialog while the window is attached.
  void Notify(const CMessage& message);
  // Sends the EN_KILLFOCUS notifications that focus moves have left waiting.
  void RunPendingKillFocus();
  // Runs waiting kill-focus notifications before a click or choice on `control`; false if
  // they took the focus elsewhere (a field refused its content), and the action is lost.
  bool SettleFocusFor(const CControl& control);
  // The system menu (Qt has none of its own): Close, then the dialog's items.
  void ShowSystemMenu(const QPoint& globalPos);

  // Anything that would close the window asks the dialog instead.
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnDialogChanged(EDialogChange change);
  void ApplyFocus();
  void OnFocusChanged(QWidget* old, QWidget* now);
  CControl* ControlOf(QWidget* widget) const;

  CDialog& m_dialog;
  Send m_send;
  CDialogUnits m_units;
  std::vector<std::unique_ptr<CControlBinding>> m_bindings;  // template order
  std::unordered_map<QWidget*, CControl*> m_controlOf;
  std::deque<int> m_pendingKillFocus;
  int m_applying = 0;
  bool m_attached = true;
};
