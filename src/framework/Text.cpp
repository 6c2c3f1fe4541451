// Number and text helpers.
#include "framework/Text.h"

#include <cstdio>
#include <limits>

std::uint32_t LeadingNumber(std::string_view text) {
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return std::numeric_limits<std::uint32_t>::max();
  }
  return static_cast<std::uint32_t>(value);
}

std::string Decimal(long long value) { return std::to_string(value); }

namespace {

// The length of the well-formed UTF-8 sequence at the start of `text` and its code point; 0 if
// there is none (a stray or overlong byte, a surrogate, a cut-off sequence).
std::size_t Utf8Sequence(std::string_view text, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  else return 0;
  constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};  // below these, a sequence is overlong
  codePoint = lead & (0x7F >> length);
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  return codePoint < kSmallest[length] || codePoint > 0x10FFFF || surrogate ? 0 : length;
}

std::string Hex(const char* format, unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    std::size_t used = 1;
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c < 0x20 || c == 0x7F) out += Hex("\\x%02x", c);
    else if (c < 0x80) out += static_cast<char>(c);
    else {
      char32_t codePoint = 0;
      used = Utf8Sequence(text, codePoint);
      if (used == 0) {
        out += Hex("\\x%02x", c);
        used = 1;
      } else if (codePoint <= 0x9F) {  // the second set of control characters (CSI is U+009B)
        out += Hex("\\u%04x", static_cast<unsigned>(codePoint));
      } else {
        out += text.substr(0, used);
      }
    }
    text.remove_prefix(used);
  }
  return out;
}
