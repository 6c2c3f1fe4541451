// A control's live state and its change notifications.
#include "framework/Control.h"

#include <algorithm>

const char* ControlKindName(EControlKind kind) {
  switch (kind) {
    case EControlKind::PushButton: return "push button";
    case EControlKind::DefPushButton: return "default push button";
    case EControlKind::Edit: return "edit field";
    case EControlKind::Static: return "static text";
    case EControlKind::GroupBox: return "group box";
    case EControlKind::ScrollBar: return "scroll bar";
    case EControlKind::Trackbar: return "trackbar";
    case EControlKind::UpDown: return "up-down control";
    case EControlKind::Progress: return "progress bar";
    case EControlKind::ComboBox: return "combo box";
    case EControlKind::Bitmap: return "bitmap";
    case EControlKind::Icon: return "icon";
    case EControlKind::CheckBox: return "check box";
  }
  return "control";
}

CControl::CControl(int id, EControlKind kind, CRect rect, std::string text, unsigned style, bool visible, bool enabled)
    : m_id(id), m_kind(kind), m_rect(rect), m_text(std::move(text)), m_style(style), m_visible(visible),
      m_enabled(enabled) {}

bool CControl::TakesFocus() const {
  switch (m_kind) {
    case EControlKind::PushButton:
    case EControlKind::DefPushButton:
    case EControlKind::Edit:
    case EControlKind::ScrollBar:
    case EControlKind::Trackbar:
    case EControlKind::ComboBox:
    case EControlKind::CheckBox:
      return true;
    default:
      return false;
  }
}

void CControl::Changed(EControlChange change) {
  if (m_observer) m_observer(*this, change);
}

void CControl::SetText(std::string text) {
  if (text == m_text) return;
  m_text = std::move(text);
  Changed(EControlChange::Text);
}

void CControl::Show(bool visible) {
  if (visible == m_visible) return;
  m_visible = visible;
  Changed(EControlChange::Visible);
}

void CControl::Enable(bool enabled) {
  if (enabled == m_enabled) return;
  m_enabled = enabled;
  Changed(EControlChange::Enabled);
}

void CControl::SetRange(int min, int max) {
  m_min = min;
  m_max = max;
  Changed(EControlChange::Range);
  if (m_kind != EControlKind::UpDown) SetPos(m_pos);
}

// An up-down control may be given a reversed range (lower limit above the upper one);
// its position still stays between the two limits.
void CControl::SetPos(int pos) {
  const int low = std::min(m_min, m_max);
  const int high = std::max(m_min, m_max);
  pos = std::clamp(pos, low, high);
  if (pos == m_pos) return;
  m_pos = pos;
  Changed(EControlChange::Pos);
}

void CControl::SetPageSize(int pageSize) {
  m_pageSize = pageSize;
  Changed(EControlChange::PageSize);
}

int CControl::AddItem(std::string text) {
  auto where = m_items.end();
  if (HasStyle(ControlStyle::kSorted)) where = std::upper_bound(m_items.begin(), m_items.end(), text);
  const int index = static_cast<int>(where - m_items.begin());
  m_items.insert(where, std::move(text));
  if (m_selection >= index) ++m_selection;
  Changed(EControlChange::Items);
  return index;
}

void CControl::SetSelection(int index) {
  if (index < -1 || index >= static_cast<int>(m_items.size())) index = -1;
  if (index == m_selection) return;
  m_selection = index;
  if (index >= 0) m_text = m_items[static_cast<std::size_t>(index)];
  Changed(EControlChange::Selection);
}

void CControl::ClearItems() {
  m_items.clear();
  m_selection = -1;
  Changed(EControlChange::Items);
}

void CControl::SetChecked(bool checked) {
  if (checked == m_checked) return;
  m_checked = checked;
  Changed(EControlChange::Check);
}
