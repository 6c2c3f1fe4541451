// The window of one running dialog: a widget per control at its dialog-unit rectangle. Every
// change the dialog makes shows in the widgets; every user action reaches the dialog as the
// notification the control would send.
#pragma once
#include "framework/Dialog.h"
#include "qt/DialogUnits.h"

#include <QDialog>
#include <deque>
#include <functional>
#include <unordered_map>
#include <vector>

class CDialogWindow final : public QDialog {
 public:
  // Delivers a message to the dialog (the host dispatches it and notices a dialog that ended).
  using Send = std::function<void(const CMessage&)>;

  // The dialog's controls must exist. owner: the window this one is modal over, or null.
  CDialogWindow(CDialog& dialog, Send send, QWidget* owner);
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
  // Sends the EN_KILLFOCUS notifications that focus moves have left waiting.
  void RunPendingKillFocus();
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
  struct CItem {
    CControl* control;
    QWidget* widget;
  };
  // Counts changes under way that come from the dialog, so that the focus moves they cause
  // are not taken for the user's.
  class CApplying;

  QWidget* CreateWidget(CControl& control);
  void Mirror(const CControl& control, EControlChange change);
  void MirrorAll(const CControl& control);
  void FitLabel(QWidget* label, const CControl& control);
  void FitField(QWidget* field);
  QPixmap ResourcePixmap(const CControl& control) const;
  void OnDialogChanged(EDialogChange change);
  void ApplyFocus();
  void OnFocusChanged(QWidget* old, QWidget* now);
  void PressDefaultButton();

  void OnButtonClicked(CControl& control);
  void OnEdited(CControl& control, const QString& text);
  void OnScroll(CControl& control, int code, int pos);
  void OnTrackbar(CControl& control, int code, int pos);
  void OnUpDownStep(CControl& control, int direction);
  void OnUpDownEnd(CControl& control);
  void OnComboChosen(CControl& control, int index);
  // Runs waiting kill-focus notifications before a click or choice on `control`; false if
  // they took the focus elsewhere (a field refused its content), and the action is lost.
  bool SettleFocusFor(const CControl& control);

  CControl* ControlOf(QWidget* widget) const;
  QWidget* WidgetOf(const CControl& control) const;
  void Notify(const CMessage& message);

  CDialog& m_dialog;
  Send m_send;
  CDialogUnits m_units;
  std::vector<CItem> m_items;  // template order
  std::unordered_map<QWidget*, CControl*> m_controlOf;
  std::deque<int> m_pendingKillFocus;
  int m_applying = 0;
  bool m_attached = true;
};
