// CDialog: the base of every window; owns its controls and handles their notifications.
#pragma once
#include "framework/Control.h"
#include "framework/DialogTemplate.h"
#include "framework/Host.h"
#include "framework/MessageTable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct CSysMenuItem {
  int id = 0;  // 0: a separator
  std::string text;
};

enum class EDialogChange { Title, Focus, Icon, SysMenu };

class CDialog {
 public:
  using Observer = std::function<void(EDialogChange)>;

  explicit CDialog(const CDialogTemplate& dialogTemplate);
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;
  virtual ~CDialog();

  // Runs the dialog modally on the current host; returns EndDialog's result.
  int DoModal();

  // Called once the controls exist; true lets the host give the focus to the first control.
  virtual bool OnInitDialog() { return true; }
  virtual const CMessageTable& MessageTable() const;

  // Routes a message to the first matching table entry, else to DefaultHandling.
  void Dispatch(const CMessage& message);
  // What the framework does with a message no handler takes: Close and the OK and
  // Cancel buttons end the dialog, SC_CLOSE and Escape close it, Enter presses the default
  // push button if there is one; everything else is ignored.
  void DefaultHandling(const CMessage& message);

  void EndDialog(int result);
  // Closes the dialog as a user would (close box); one that refuses is ended with IDCANCEL,
  // for when the run itself is over.
  void ForceClose();
  bool HasEnded() const { return m_ended; }
  int Result() const { return m_result; }

  const CDialogTemplate& Template() const { return m_template; }
  int ResourceId() const { return m_template.resourceId; }
  const std::string& Title() const { return m_title; }
  void SetTitle(std::string title);

  // Controls exist between CreateControls and DestroyControls (the window's lifetime).
  void CreateControls();
  void DestroyControls();
  bool HasWindow() const { return !m_controls.empty(); }
  CControl& Item(int id);
  const CControl& Item(int id) const;
  CControl* FindItem(int id);
  const std::vector<std::unique_ptr<CControl>>& Controls() const { return m_controls; }

  // Shorthands for the calls dialogs make most.
  void SetItemText(int id, std::string text) { Item(id).SetText(std::move(text)); }
  const std::string& ItemText(int id) const { return Item(id).Text(); }
  void ShowItem(int id, bool visible) { Item(id).Show(visible); }
  void EnableItem(int id, bool enabled) { Item(id).Enable(enabled); }

  // Keyboard focus: a control id, or 0 for none.
  int FocusId() const { return m_focusId; }
  void SetFocus(int id);
  // Gives the focus to the first visible, enabled control that takes it.
  void SetDefaultFocus();

  void SetIcon(int iconResource, bool big);
  int BigIcon() const { return m_bigIcon; }
  int SmallIcon() const { return m_smallIcon; }

  bool HasSystemMenu() const { return (m_template.style & DialogStyle::kSysMenu) != 0; }
  void AppendSysMenuSeparator();
  void AppendSysMenuItem(int id, std::string text);
  const std::vector<CSysMenuItem>& SysMenu() const { return m_sysMenu; }

  // Window timers and message boxes, through the current host.
  void SetTimer(int timerId, int periodMs);
  void KillTimer(int timerId);
  // A message box owned by this dialog, captioned with the application's name.
  void MessageBox(const std::string& text, EMessageIcon icon);
  // A question in such a box: true when the user answers Yes.
  bool Ask(const std::string& text, EMessageIcon icon);
  // Closes this dialog's questions that are still open, as if answered No.
  void WithdrawQuestions();

  // Runs work on the GUI thread, but only if this dialog still exists then.
  void PostToSelf(std::function<void()> work);

  void SetObserver(Observer observer) { m_observer = std::move(observer); }

 private:
  void Changed(EDialogChange change);
  void PressDefaultButton();

  const CDialogTemplate& m_template;
  std::string m_title;
  std::vector<std::unique_ptr<CControl>> m_controls;
  std::vector<CSysMenuItem> m_sysMenu;
  int m_focusId = 0;
  int m_bigIcon = 0;
  int m_smallIcon = 0;
  bool m_ended = false;
  int m_result = 0;
  Observer m_observer;
  std::shared_ptr<CDialog*> m_alive;  // posted work holds a weak reference to it
};

// The message a scroll bar, trackbar or up-down control sends: WM_VSCROLL when it is vertical.
EMessage ScrollMessageOf(const CControl& control);

// The application's name: the executable's file name without extension. Every tool's
// message boxes carry it as their caption.
const std::string& ApplicationName();
void SetApplicationName(std::string name);
