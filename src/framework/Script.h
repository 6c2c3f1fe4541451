// A script for the script host: one command a line, parsed into words, numbers and texts.
#pragma once
#include "base/Error.h"

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

struct CScriptToken {
  enum class EKind { Word, Number, Text };
  EKind kind = EKind::Word;
  std::string text;  // the word, or the text without quotes and escapes
  long long number = 0;
};

struct CScriptLine {
  int number = 0;  // 1-based line in the file
  std::string command;
  std::vector<CScriptToken> args;
};

class CScript final {
 public:
  // Parses script text; `name` is used in error messages ("name:line: ...").
  static std::expected<CScript, CError> Parse(const std::string& text, const std::string& name);
  // Scripts larger than this are refused.
  static constexpr std::uint64_t kMaxSize = 16u << 20;
  static std::expected<CScript, CError> Load(const std::string& path);

  const std::vector<CScriptLine>& Lines() const { return m_lines; }
  const std::string& Name() const { return m_name; }

 private:
  std::vector<CScriptLine> m_lines;
  std::string m_name;
};

// Splits a "SLOT=VALUE" word of an `expect frame` line; false if it is not one.
bool ParseSlotValue(const std::string& word, long long& slot, long long& value);
