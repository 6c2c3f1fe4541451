// The part every binding shares: placing the widget, visibility and enabling, notifications;
// and the one choice of a binding by the control's kind.
#include "qt/ControlBinding.h"

#include "qt/ButtonBinding.h"
#include "qt/CheckBoxBinding.h"
#include "qt/ComboBoxBinding.h"
#include "qt/DialogWindow.h"
#include "qt/EditBinding.h"
#include "qt/GroupBoxBinding.h"
#include "qt/PictureBinding.h"
#include "qt/ProgressBinding.h"
#include "qt/ScrollBarBinding.h"
#include "qt/StaticBinding.h"
#include "qt/TrackbarBinding.h"
#include "qt/UpDownBinding.h"

std::unique_ptr<CControlBinding> CControlBinding::Create(CControl& control, CDialogWindow& window) {
  switch (control.Kind()) {
    case EControlKind::PushButton:
    case EControlKind::DefPushButton: return std::make_unique<CButtonBinding>(control, window);
    case EControlKind::Edit: return std::make_unique<CEditBinding>(control, window);
    case EControlKind::Static: return std::make_unique<CStaticBinding>(control, window);
    case EControlKind::GroupBox: return std::make_unique<CGroupBoxBinding>(control, window);
    case EControlKind::ScrollBar: return std::make_unique<CScrollBarBinding>(control, window);
    case EControlKind::Trackbar: return std::make_unique<CTrackbarBinding>(control, window);
    case EControlKind::UpDown: return std::make_unique<CUpDownBinding>(control, window);
    case EControlKind::Progress: return std::make_unique<CProgressBinding>(control, window);
    case EControlKind::ComboBox: return std::make_unique<CComboBoxBinding>(control, window);
    case EControlKind::Bitmap:
    case EControlKind::Icon: return std::make_unique<CPictureBinding>(control, window);
    case EControlKind::CheckBox: return std::make_unique<CCheckBoxBinding>(control, window);
  }
  return nullptr;
}

QRect CControlBinding::Rect() const { return m_window.Units().Rect(m_control.Rect()); }

void CControlBinding::Adopt(QWidget* widget, const QRect& rect) {
  m_widget = widget;
  widget->setGeometry(rect);
  widget->setFocusPolicy(m_control.TakesFocus() ? Qt::StrongFocus : Qt::NoFocus);
}

void CControlBinding::Mirror(EControlChange change) {
  const CDialogWindow::CApplying applying(m_window);
  switch (change) {
    case EControlChange::Visible: m_widget->setVisible(m_control.IsVisible()); break;
    case EControlChange::Enabled: m_widget->setEnabled(m_control.IsEnabled()); break;
    default: Show(change); break;
  }
}

void CControlBinding::MirrorAll() {
  for (EControlChange change : {EControlChange::Text, EControlChange::Visible, EControlChange::Enabled,
                                EControlChange::Range, EControlChange::Items})
    Mirror(change);
}

bool CControlBinding::Live() const { return m_window.IsAttached(); }

void CControlBinding::Command(int code) const { m_window.Notify({EMessage::Command, m_control.Id(), code, 0}); }

void CControlBinding::Scroll(int code, int pos) const {
  m_window.Notify({ScrollMessageOf(m_control), m_control.Id(), code, pos});
}
