// The program's command line.
#pragma once
#include "base/Error.h"

#include <expected>
#include <optional>
#include <string>
#include <vector>

struct CCommandLine {
  std::optional<std::string> interfaceName;  // --interface; none given: look for a real one
  std::optional<std::string> capturePath;    // --capture FILE
  bool monitor = false;                      // --monitor
  bool chooseInterface = false;              // --choose-interface
  std::optional<std::string> scriptPath;     // --script FILE
  bool realtime = false;                     // --realtime (with --script)
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name; a one-line message for a mistake (an unknown
// option, a missing argument, an option that takes a value given twice). The message may hold
// what the user typed: print it with PrintError, which escapes control characters.
std::expected<CCommandLine, CError> ParseCommandLine(const std::vector<std::string>& args);

// --help: the options, and the interface kinds from the table of output kinds.
std::string UsageText();
const char* VersionText();
