// Script snippets and frame views shared by the addressing dialog tests.
#pragma once
#include "link/DmxFrame.h"

#include <map>
#include <string>

namespace addressing_test {

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The non-zero slots of a frame, slot number (1-based) to value.
inline std::map<int, int> LitSlots(const CDmxFrame& frame) {
  std::map<int, int> lit;
  for (std::size_t i = 0; i < frame.slots.size(); ++i)
    if (frame.slots[i] != 0) lit[static_cast<int>(i) + 1] = frame.slots[i];
  return lit;
}

// How many slots of a frame hold `value`.
inline int CountValue(const CDmxFrame& frame, int value) {
  int count = 0;
  for (const auto slot : frame.slots) count += slot == value ? 1 : 0;
  return count;
}

// Drives a scroll bar of range 0 to `top` paired with number field `field` through every
// scroll code and both ends, expecting the stepping rule: lines by 1, pages by 10 clamped,
// nothing at the end it is pushed toward, dragging follows, release and others do nothing;
// the field shows position + 1 on a change and typing in it never moves the bar.
inline std::string ScrollBarSteppingScript(int bar, int field, int top) {
  const std::string b = std::to_string(bar);
  const std::string f = std::to_string(field);
  std::string s;
  const auto step = [&](const std::string& code, int pos, const std::string& text) {
    s += "scroll " + b + " " + code + "\n";
    s += "expect pos " + b + " " + std::to_string(pos) + "\n";
    s += "expect text " + f + " " + Quoted(text) + "\n";
  };
  const auto num = [](int n) { return std::to_string(n); };
  s += "type " + f + " \"42\"\n";
  step("SB_LINELEFT", 0, "42");   // at the left end: nothing, not even the field
  step("SB_PAGELEFT", 0, "42");
  step("SB_LINERIGHT", 1, "2");   // from the bar's own position, not the typed 42
  step("SB_THUMBTRACK 7", 7, "8");
  step("SB_THUMBPOSITION 3", 7, "8");
  step("SB_ENDSCROLL", 7, "8");
  step("SB_LEFT", 7, "8");
  step("SB_RIGHT", 7, "8");
  step("SB_PAGELEFT", 0, "1");    // 7 - 10 is held at 0
  step("SB_PAGERIGHT", 10, "11");
  step("SB_THUMBTRACK " + num(top - 4), top - 4, num(top - 3));
  step("SB_PAGERIGHT", top, num(top + 1));  // held at the top
  s += "type " + f + " \"42\"\n";
  step("SB_LINERIGHT", top, "42");  // at the right end: nothing
  step("SB_PAGERIGHT", top, "42");
  step("SB_THUMBTRACK " + num(top + 50), top, num(top + 1));
  step("SB_PAGELEFT", top - 10, num(top - 9));
  s += "type " + f + " \"5\"\n";
  s += "expect pos " + b + " " + num(top - 10) + "\n";  // typing leaves the bar alone
  step("SB_LINELEFT", top - 11, num(top - 10));
  return s;
}

}  // namespace addressing_test
