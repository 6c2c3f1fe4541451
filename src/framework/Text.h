// Number and text helpers shared by the dialogs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The number at the start of a field's text: its leading decimal digits, 0 if there are
// none. A number too large for 32 bits gives UINT32_MAX, so a long digit string is always
// out of any range a dialog checks and never wraps into one that looks valid.
std::uint32_t LeadingNumber(std::string_view text);

// "%d" of a number.
std::string Decimal(long long value);

// The text with its control characters written as escapes (\t, \n, \r, \x1b, \u009b) and bytes
// that are not UTF-8 as \xNN, so that text echoed to a terminal can never drive it.
std::string EscapeControls(std::string_view text);
