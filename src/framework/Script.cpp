// Script parsing: words, decimal and 0x numbers, quoted texts with \" and \\ escapes, # comments.
#include "framework/Script.h"

#include "base/WholeFile.h"

#include "framework/Messages.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace {

using EKind = CScriptToken::EKind;

bool Is(const std::vector<CScriptToken>& args, std::size_t i, EKind kind) {
  return i < args.size() && args[i].kind == kind;
}

bool IsCode(const std::vector<CScriptToken>& args, std::size_t i) {
  return Is(args, i, EKind::Number) || (Is(args, i, EKind::Word) && NotificationCodeByName(args[i].text.c_str()) >= 0);
}

bool IsSlotValue(const CScriptToken& token) {
  long long slot = 0, value = 0;
  return token.kind == EKind::Word && ParseSlotValue(token.text, slot, value);
}

// Checks a line against the language's grammar; a message when it does not fit.
std::string CheckGrammar(const CScriptLine& line) {
  const auto& a = line.args;
  const std::size_t n = a.size();
  const auto num = [&](std::size_t i) { return Is(a, i, EKind::Number); };
  const auto text = [&](std::size_t i) { return Is(a, i, EKind::Text); };
  const std::string& c = line.command;
  bool ok = false;
  if (c == "click" || c == "leave" || c == "sysmenu" || c == "wait") ok = n == 1 && num(0);
  else if (c == "type") ok = n == 2 && num(0) && text(1);
  else if (c == "scroll") ok = (n == 2 || n == 3) && num(0) && IsCode(a, 1) && (n == 2 || num(2));
  else if (c == "slide") ok = (n == 2 || n == 3) && num(0) && num(1) && (n == 2 || IsCode(a, 2));
  else if (c == "updown" || c == "select") ok = n == 2 && num(0) && num(1);
  else if (c == "file") ok = n == 1 && (text(0) || (Is(a, 0, EKind::Word) && a[0].text == "cancel"));
  else if (c == "close") ok = n == 0;
  else if (c == "expect") {
    const std::string what = n > 0 && a[0].kind == EKind::Word ? a[0].text : "";
    if (what == "text") ok = n == 3 && num(1) && text(2);
    else if (what == "visible" || what == "hidden" || what == "enabled" || what == "disabled" || what == "focus")
      ok = n == 2 && num(1);
    else if (what == "pos") ok = n == 3 && num(1) && num(2);
    else if (what == "range") ok = n == 4 && num(1) && num(2) && num(3);
    else if (what == "title") ok = n == 2 && text(1);
    else if (what == "dialog" || what == "frames" || what == "icon") ok = n == 2 && num(1);
    else if (what == "menu") ok = n == 3 && num(1) && text(2);
    else if (what == "message") {
      static const char* kIcons[] = {"none", "error", "warning", "information"};
      // expect message [TEXT] [ICON]
      const std::size_t iconAt = n > 1 && text(1) ? 2 : 1;
      bool iconOk = n <= iconAt;
      if (n == iconAt + 1 && a[iconAt].kind == EKind::Word)
        for (const char* icon : kIcons) iconOk = iconOk || a[iconAt].text == icon;
      ok = n <= 3 && iconOk;
    } else if (what == "no-message") ok = n == 1;
    else if (what == "frame") {
      ok = n >= 3 && num(1) && num(2);
      for (std::size_t i = 3; ok && i < n; ++i) ok = IsSlotValue(a[i]);
    } else {
      return "unknown expectation '" + what + "'";
    }
  } else {
    return "unknown command '" + c + "'";
  }
  return ok ? std::string() : "wrong arguments for '" + c + "'";
}

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
          if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '"' || raw[i + 1] == '\\')) {
            token.text += raw[i + 1];
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
    if (const std::string problem = CheckGrammar(line); !problem.empty()) return fail(problem);
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
