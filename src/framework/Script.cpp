// Script parsing: words, decimal and 0x numbers, quoted texts with \", \\ and \n escapes, # comments;
// each line is checked against the language as it is read.
#include "framework/Script.h"

#include "base/WholeFile.h"
#include "framework/ScriptCommands.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

bool ParseNumber(const std::string& word, long long& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
  int base = 10;
  if (word.size() > i + 2 && word[i] == '0' && (word[i + 1] == 'x' || word[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= word.size()) return false;
  long long result = 0;
  for (; i < word.size(); ++i) {
    const char c = word[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c))) digit = std::tolower(c) - 'a' + 10;
    else return false;
    result = result * base + digit;
    if (result > 0x7FFFFFFFLL) return false;
  }
  value = negative ? -result : result;
  return true;
}

}  // namespace

std::expected<CScript, CError> CScript::Parse(const std::string& text, const std::string& name) {
  CScript script;
  script.m_name = name;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    auto fail = [&](const std::string& what) {
      return std::unexpected(CError{name + ":" + std::to_string(number) + ": " + what});
    };
    std::vector<CScriptToken> tokens;
    std::size_t i = 0;
    while (i < raw.size()) {
      const char c = raw[i];
      if (c == ' ' || c == '\t') {
        ++i;
      } else if (c == '#') {
        break;
      } else if (c == '"') {
        CScriptToken token{CScriptToken::EKind::Text, {}, 0};
        ++i;
        bool closed = false;
        while (i < raw.size()) {
          if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '"' || raw[i + 1] == '\\' || raw[i + 1] == 'n')) {
            token.text += raw[i + 1] == 'n' ? '\n' : raw[i + 1];  // \n: a message's line break
            i += 2;
          } else if (raw[i] == '"') {
            closed = true;
            ++i;
            break;
          } else {
            token.text += raw[i++];
          }
        }
        if (!closed) return fail("text without its closing quote");
        tokens.push_back(std::move(token));
      } else {
        std::size_t start = i;
        while (i < raw.size() && raw[i] != ' ' && raw[i] != '\t') ++i;
        CScriptToken token{CScriptToken::EKind::Word, raw.substr(start, i - start), 0};
        if (ParseNumber(token.text, token.number)) token.kind = CScriptToken::EKind::Number;
        tokens.push_back(std::move(token));
      }
    }
    if (tokens.empty()) continue;
    if (tokens.front().kind != CScriptToken::EKind::Word) return fail("a line must start with a command");
    CScriptLine line{number, tokens.front().text, {}};
    line.args.assign(tokens.begin() + 1, tokens.end());
    if (const std::string problem = CheckScriptLine(line); !problem.empty()) return fail(problem);
    script.m_lines.push_back(std::move(line));
  }
  return script;
}

std::expected<CScript, CError> CScript::Load(const std::string& path) {
  // Only a regular file of sensible size: a directory, a pipe or /dev/zero is refused at once.
  auto whole = ReadWholeFile(path, kMaxSize);
  if (!whole && whole.error().kind == CWholeFileError::EKind::TooLarge)
    return std::unexpected(CError{path + ": cannot be read: larger than " + std::to_string(kMaxSize >> 20) + " MiB"});
  if (!whole) return std::unexpected(CError{path + ": cannot be read"});
  return Parse(std::string(whole->bytes.begin(), whole->bytes.end()), path);
}

bool ParseSlotValue(const std::string& word, long long& slot, long long& value) {
  const auto eq = word.find('=');
  return eq != std::string::npos && ParseNumber(word.substr(0, eq), slot) && ParseNumber(word.substr(eq + 1), value);
}
