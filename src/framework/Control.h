// A control's kind, style and live state; every change is announced to an observer.
#pragma once
#include <functional>
#include <string>
#include <vector>

enum class EControlKind {
  PushButton, DefPushButton, Edit, Static, GroupBox, ScrollBar, Trackbar, UpDown, Progress, ComboBox, Bitmap, Icon,
  CheckBox  // a box the user ticks; a click toggles it, then it notifies BN_CLICKED
};
const char* ControlKindName(EControlKind kind);

// Style flags of a control template.
namespace ControlStyle {
inline constexpr unsigned kReadOnly = 1u << 0;
inline constexpr unsigned kCentre = 1u << 1;
inline constexpr unsigned kDigitsOnly = 1u << 2;
inline constexpr unsigned kVertical = 1u << 3;   // scroll bar, trackbar, up-down
inline constexpr unsigned kNoTicks = 1u << 4;
inline constexpr unsigned kBothPointers = 1u << 5;
inline constexpr unsigned kBorder = 1u << 6;
inline constexpr unsigned kAutoHScroll = 1u << 7;
inline constexpr unsigned kSorted = 1u << 8;     // combo box
inline constexpr unsigned kDropDown = 1u << 9;   // combo box
inline constexpr unsigned kVScroll = 1u << 10;   // combo box list
inline constexpr unsigned kArrowKeys = 1u << 11; // up-down
inline constexpr unsigned kNoBuddy = 1u << 12;   // up-down
}  // namespace ControlStyle

struct CRect {
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
};

enum class EControlChange { Text, Visible, Enabled, Range, Pos, PageSize, Items, Selection, Check };

class CControl final {
 public:
  using Observer = std::function<void(const CControl&, EControlChange)>;

  CControl(int id, EControlKind kind, CRect rect, std::string text, unsigned style, bool visible, bool enabled);
  CControl(const CControl&) = delete;
  CControl& operator=(const CControl&) = delete;

  int Id() const { return m_id; }
  EControlKind Kind() const { return m_kind; }
  const CRect& Rect() const { return m_rect; }
  unsigned Style() const { return m_style; }
  bool HasStyle(unsigned flag) const { return (m_style & flag) != 0; }
  bool IsButton() const { return m_kind == EControlKind::PushButton || m_kind == EControlKind::DefPushButton; }
  // Whether the focus can rest on it (tab stop kinds).
  bool TakesFocus() const;

  const std::string& Text() const { return m_text; }
  void SetText(std::string text);
  bool IsVisible() const { return m_visible; }
  void Show(bool visible);
  bool IsEnabled() const { return m_enabled; }
  void Enable(bool enabled);

  // Scroll bars, trackbars, up-downs and progress bars.
  int Min() const { return m_min; }
  int Max() const { return m_max; }
  int Pos() const { return m_pos; }
  int PageSize() const { return m_pageSize; }
  // Sets the range. Scroll bars, trackbars and progress bars clamp their position into it, as
  // the real controls do; an up-down control keeps its position, even outside the new range.
  void SetRange(int min, int max);
  // Sets the position, clamped into the range.
  void SetPos(int pos);
  void SetPageSize(int pageSize);

  // Combo boxes.
  const std::vector<std::string>& Items() const { return m_items; }
  // Adds an item (in sorted place for a sorted combo box); returns its index.
  int AddItem(std::string text);
  int Selection() const { return m_selection; }  // -1: none
  void SetSelection(int index);
  void ClearItems();

  // Check boxes.
  bool IsChecked() const { return m_checked; }
  void SetChecked(bool checked);

  // The host that mirrors this control; one at a time.
  void SetObserver(Observer observer) { m_observer = std::move(observer); }

 private:
  void Changed(EControlChange change);

  int m_id;
  EControlKind m_kind;
  CRect m_rect;
  std::string m_text;
  unsigned m_style;
  bool m_visible;
  bool m_enabled;
  int m_min = 0;
  int m_max = 100;
  int m_pos = 0;
  int m_pageSize = 0;
  std::vector<std::string> m_items;
  int m_selection = -1;
  bool m_checked = false;
  Observer m_observer;
};
