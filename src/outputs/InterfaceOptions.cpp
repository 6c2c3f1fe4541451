// Reading "NAME:UNIVERSE[@HOST][,KEY=VALUE...]" with an error a user can act on.
#include "outputs/InterfaceOptions.h"

#include <algorithm>
#include <charconv>

namespace {

std::string Quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text).push_back('"');
  return quoted;
}

// A whole decimal number within [min, max]; anything else (signs, blanks, overflow) is not.
std::expected<int, std::string> ReadNumber(std::string_view text, int min, int max) {
  const std::string range = std::to_string(min) + " to " + std::to_string(max);
  long long value = 0;
  const bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits) return std::unexpected("must be a number from " + range + ", not " + Quoted(text));
  const std::from_chars_result read = std::from_chars(text.data(), text.data() + text.size(), value);
  if (read.ec != std::errc() || value < min || value > max) {
    return std::unexpected("must be " + range + ", not " + std::string(text));
  }
  return static_cast<int>(value);
}

// Host names and dotted addresses: letters, digits, dots, hyphens and underscores.
bool IsHostName(std::string_view host) {
  return host.size() <= 253 && std::all_of(host.begin(), host.end(), [](char c) {
           return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
                  c == '_';
         });
}

}  // namespace

std::expected<CInterfaceOptions, CError> CInterfaceOptions::Parse(std::string_view text,
                                                                  const CInterfaceGrammar& grammar) {
  const std::string head = grammar.name + ": ";
  const auto fail = [&](const std::string& why) { return std::unexpected(CError{head + why}); };
  text.remove_prefix(std::min(text.size(), grammar.name.size() + 1));

  const std::size_t comma = text.find(',');
  const std::string_view target = text.substr(0, comma);
  const std::size_t at = target.find('@');
  const std::string_view universe = target.substr(0, at);
  CInterfaceOptions options;
  options.m_settings = grammar.settings;

  if (universe.empty()) {
    return fail("a universe is needed, e.g. " + grammar.name + ":1 or " + grammar.name + ":1@192.168.1.20");
  }
  auto universeNumber = ReadNumber(universe, grammar.minUniverse, grammar.maxUniverse);
  if (!universeNumber) return fail("the universe " + universeNumber.error());
  options.m_universe = *universeNumber;

  if (at != std::string_view::npos) {
    const std::string_view host = target.substr(at + 1);
    if (host.empty()) return fail("a host name or address is needed after @");
    if (!IsHostName(host)) return fail(Quoted(host) + " is not a host name or address");
    options.m_host = host;
  }

  std::vector<std::string> given;
  std::string_view rest = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
  while (comma != std::string_view::npos) {
    const std::size_t next = rest.find(',');
    const std::string_view item = rest.substr(0, next);
    const std::size_t equals = item.find('=');
    const std::string key(item.substr(0, equals));
    const auto setting = std::find_if(options.m_settings.begin(), options.m_settings.end(),
                                      [&](const CInterfaceSetting& s) { return s.key == key; });
    if (setting == options.m_settings.end()) {
      std::string known;
      for (const CInterfaceSetting& s : grammar.settings) known.append(known.empty() ? "" : ", ").append(s.key);
      return fail("unknown setting " + Quoted(key) + " (" + grammar.name + " takes " +
                  (known.empty() ? std::string("none") : known) + ")");
    }
    if (std::find(given.begin(), given.end(), key) != given.end()) return fail(key + " is given twice");
    given.push_back(key);
    const std::string_view value = equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
    if (setting->kind == CInterfaceSetting::EKind::Flag) {
      if (equals != std::string_view::npos) return fail(key + " takes no value");
      setting->value = 1;
    } else if (equals == std::string_view::npos ||
               (setting->kind == CInterfaceSetting::EKind::Text && value.empty())) {
      return fail(key + " needs a value: " + key + (setting->kind == CInterfaceSetting::EKind::Text ? "=NAME" : "=N"));
    } else if (setting->kind == CInterfaceSetting::EKind::Text) {
      setting->text = value;
    } else {
      auto number = ReadNumber(value, setting->min, setting->max);
      if (!number) return fail(key + " " + number.error());
      setting->value = *number;
    }
    if (next == std::string_view::npos) break;
    rest = rest.substr(next + 1);
  }
  return options;
}

int CInterfaceOptions::Setting(std::string_view key) const {
  for (const CInterfaceSetting& setting : m_settings) {
    if (setting.key == key) return setting.value;
  }
  return 0;
}

const std::string& CInterfaceOptions::Text(std::string_view key) const {
  static const std::string kNone;
  for (const CInterfaceSetting& setting : m_settings) {
    if (setting.key == key) return setting.text;
  }
  return kNone;
}
