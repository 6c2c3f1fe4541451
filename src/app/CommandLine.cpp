// Command-line parsing.
#include "app/CommandLine.h"

#include "outputs/OutputKinds.h"

#include <algorithm>

std::expected<CCommandLine, CError> ParseCommandLine(const std::vector<std::string>& args) {
  CCommandLine result;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::optional<std::string>& into) -> std::expected<void, CError> {
      if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1].rfind("--", 0) == 0)
        return std::unexpected(CError{arg + " needs an argument"});
      // One interface, one capture, one script: a second one is a mistake, never silently the one taken.
      if (into) return std::unexpected(CError{arg + " is given twice"});
      into = args[++i];
      return {};
    };
    std::expected<void, CError> ok;
    if (arg == "--interface") ok = value(result.interfaceName);
    else if (arg == "--capture") ok = value(result.capturePath);
    else if (arg == "--script") ok = value(result.scriptPath);
    else if (arg == "--monitor") result.monitor = true;
    else if (arg == "--choose-interface") result.chooseInterface = true;
    else if (arg == "--realtime") result.realtime = true;
    else if (arg == "--help" || arg == "-h") result.help = true;
    else if (arg == "--version") result.version = true;
    else return std::unexpected(CError{"unknown option '" + arg + "' (see --help)"});
    if (!ok) return std::unexpected(ok.error());
  }
  if (result.realtime && !result.scriptPath) return std::unexpected(CError{"--realtime goes with --script"});
  return result;
}

std::string UsageText() {
  std::string text =
      "usage: vexmira [--interface IFACE] [--choose-interface] [--capture FILE] [--monitor]\n"
      "               [--script FILE [--realtime]] [--help] [--version]\n"
      "\n"
      "  --interface IFACE  the DMX interface, one of:\n";
  // Each kind's usage, its summary beside it (or beneath it when the usage is long).
  constexpr std::size_t kUsageIndent = 6, kSummaryColumn = 24;
  for (const COutputKind& kind : OutputKinds()) {
    std::string line(kUsageIndent, ' ');
    line += kind.usage;
    for (std::string_view rest = kind.summary; !rest.empty();) {
      if (line.size() >= kSummaryColumn) {
        text += line + "\n";
        line.clear();
      }
      line.resize(kSummaryColumn, ' ');
      const std::size_t end = std::min(rest.find('\n'), rest.size());
      line += rest.substr(0, end);
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    text += line + "\n";
  }
  text +=
      "                     sACN and Art-Net carry every start code (sACN in property value 0,\n"
      "                     Art-Net in ArtDmx for 0 and ArtNzs for others), at most 512 slots;\n"
      "                     any sACN receiver (a console, OLA's olad) can take the output.\n"
      "                     Without --interface the program tries the interface chosen and\n"
      "                     remembered last time, then looks for a real one; finding none,\n"
      "                     it offers the interface chooser.\n"
      "  --choose-interface open the interface chooser first (also in script mode)\n"
      "  --capture FILE     also write every frame put on the line to FILE (pcap)\n"
      "  --monitor          open the line monitor beside the launcher\n"
      "  --script FILE      run without windows, the user's actions read from FILE\n"
      "  --realtime         with --script: keep real time instead of virtual time\n"
      "  --help, --version  print this text or the version and exit\n"
      "\n"
      "The console's 25 ms tick and the serial interfaces' writers ask for real-time scheduling\n"
      "(SCHED_FIFO, priority 10) so that frames keep their timing on a busy computer. Root gets it;\n"
      "to allow it to a user, give a group a real-time limit and put the user in it, e.g.\n"
      "  echo '@audio - rtprio 10' | sudo tee /etc/security/limits.d/95-vexmira-rtprio.conf\n"
      "  sudo usermod -aG audio $USER     (then log in again)\n"
      "Without it the program runs as usual, with less steady ticks under load.\n";
  return text;
}

// VEXMIRA_VERSION comes from the project version in CMakeLists.txt.
const char* VersionText() { return "vexmira " VEXMIRA_VERSION "\n"; }
