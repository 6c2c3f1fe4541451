// Script snippets and frame views shared by the addressing dialog tests.
#pragma once
#include "link/DmxFrame.h"

#include <map>
#include <string>
#include <vector>

namespace addressing_test {

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The non-zero slots of a frame, slot number (1-based) to value.
inline std::map<int, int> LitSlots(const CDmxFrame& frame) {
  std::map<int, int> lit;
  for (std::size_t i = 0; i < frame.slots.size(); ++i)
    if (frame.slots[i] != 0) lit[static_cast<int>(i) + 1] = frame.slots[i];
  return lit;
}

// Numbers a range check must refuse: zero, one past the top, and digit strings far beyond 32
// and 64 bits, one of which would wrap to 1 if taken modulo 2^64.
inline std::vector<std::string> OutOfRange(const std::string& pastTop) {
  return {"0", pastTop, "000", "4294967297", "18446744073709551617", "123456789012345678901234567890"};
}

// Types `text` into number field `field` and leaves it, then (if `button`) types it again and
// presses `button`: each time the warning `message` shows, the field holds `reset` and keeps the
// focus, and the press is lost.
inline std::string RefusalScript(int field, int button, const std::string& message, const std::string& text,
                                 const std::string& reset) {
  const std::string f = std::to_string(field);
  const std::string refused =
      "expect message " + Quoted(message) + " warning\nexpect text " + f + " " + Quoted(reset) + "\nexpect focus " + f + "\n";
  std::string s = "type " + f + " " + Quoted(text) + "\nleave " + f + "\n" + refused;
  if (button != 0) s += "type " + f + " " + Quoted(text) + "\nclick " + std::to_string(button) + "\n" + refused;
  return s;
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
