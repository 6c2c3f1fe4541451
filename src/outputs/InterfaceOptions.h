// The options of a network interface name: "NAME:UNIVERSE[@HOST][,KEY=VALUE...]".
#pragma once
#include "base/Error.h"

#include <expected>
#include <string>
#include <string_view>
#include <vector>

// A setting an interface takes: a number with its range and default ("priority=N"), a text
// ("iface=NAME") or a flag ("per-address").
struct CInterfaceSetting {
  enum class EKind { Number, Text, Flag };
  std::string key;
  int min = 0;
  int max = 0;
  int value = 0;  // a number's default until the name gives another; 1 for a flag that is given
  EKind kind = EKind::Number;
  std::string text;  // a text's value; empty when not given

  static CInterfaceSetting Number(std::string key, int min, int max, int value) {
    CInterfaceSetting setting = Text(std::move(key));
    setting.kind = EKind::Number;
    setting.min = min;
    setting.max = max;
    setting.value = value;
    return setting;
  }
  static CInterfaceSetting Text(std::string key) {
    CInterfaceSetting setting;
    setting.key = std::move(key);
    setting.kind = EKind::Text;
    return setting;
  }
  static CInterfaceSetting Flag(std::string key) {
    CInterfaceSetting setting = Text(std::move(key));
    setting.kind = EKind::Flag;
    return setting;
  }
};

// What the protocol NAME accepts: a universe range and its settings.
struct CInterfaceGrammar {
  std::string name;  // "sacn"
  int minUniverse = 0;
  int maxUniverse = 0;
  std::vector<CInterfaceSetting> settings;
};

class CInterfaceOptions final {
 public:
  // Reads `text` (which starts with "NAME:") by the grammar. Every error names the protocol and
  // says what was wrong, e.g. "sacn: priority must be 0 to 200, not 300".
  static std::expected<CInterfaceOptions, CError> Parse(std::string_view text, const CInterfaceGrammar& grammar);

  int Universe() const { return m_universe; }
  // The node's name or address; empty when none was given.
  const std::string& Host() const { return m_host; }
  // The value of a number or flag of the grammar (its default when the name left it out).
  int Setting(std::string_view key) const;
  // The value of a text of the grammar; empty when the name left it out.
  const std::string& Text(std::string_view key) const;

 private:
  int m_universe = 0;
  std::string m_host;
  std::vector<CInterfaceSetting> m_settings;
};
