// The binding of one control to its widget: it creates the widget at the control's dialog-unit
// rectangle, shows every change of the control in it, and turns the user's actions on it into
// the notifications the control sends. There is one binding class per control kind.
#pragma once
#include "framework/Control.h"

#include <QRect>
#include <memory>

class CDialogWindow;
class QWidget;

class CControlBinding {
 public:
  // The binding for the control's kind, with its widget made in the window.
  static std::unique_ptr<CControlBinding> Create(CControl& control, CDialogWindow& window);

  virtual ~CControlBinding() = default;
  CControlBinding(const CControlBinding&) = delete;
  CControlBinding& operator=(const CControlBinding&) = delete;

  CControl& Control() const { return m_control; }
  QWidget* Widget() const { return m_widget; }

  // Shows one change of the control in the widget; the dialog made it, not the user.
  void Mirror(EControlChange change);
  // Shows the control's whole state, once its widget is made.
  void MirrorAll();

 protected:
  CControlBinding(CControl& control, CDialogWindow& window) : m_control(control), m_window(window) {}

  // The control's rectangle in pixels.
  QRect Rect() const;
  // Takes on the widget made for the control and places it; a kind may give it another size.
  void Adopt(QWidget* widget, const QRect& rect);
  void Adopt(QWidget* widget) { Adopt(widget, Rect()); }
  // Shows a change of text, range, page size, position, items or selection, as this kind does.
  virtual void Show(EControlChange change) = 0;

  // Whether the user's actions still reach the dialog: its window has not been detached.
  bool Live() const;
  // The control's notifications: WM_COMMAND with a code, or the scroll message it sends.
  void Command(int code) const;
  void Scroll(int code, int pos) const;

  CControl& m_control;
  CDialogWindow& m_window;

 private:
  QWidget* m_widget = nullptr;
};
