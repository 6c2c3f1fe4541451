// Scenario runs and tshark decoding.
#include "Scenario.h"

#include "support/TempFolder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Capture(const std::string& command, int* status = nullptr) {
  std::string output;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    const int rc = pclose(pipe);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  }
  return output;
}

std::vector<std::uint8_t> FromHex(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace

CScenarioRun RunScenario(const std::string& scriptName, const std::string& interfaceName, const std::string& extraArgs) {
  CScenarioRun run;
  static const CTempFolder folder;  // the captures of this test program, removed at its end
  run.capture = folder / (scriptName + ".pcap");
  const std::string errors = folder / (scriptName + ".err");
  // Run from elsewhere: scripts name their files relative to their own folder.
  const std::string command = "cd '" + folder.Path().string() + "' && " + VEXMIRA_BIN + " --interface '" +
                              interfaceName + "' --script '" + SCENARIO_DIR + "/" + scriptName + "' --capture '" +
                              run.capture + "' " + extraArgs + " 2>'" + errors + "'";
  Capture(command, &run.exitCode);
  std::ifstream in(errors);
  std::ostringstream text;
  text << in.rdbuf();
  run.errors = text.str();
  std::filesystem::remove(errors);
  return run;
}

bool HaveTshark() { return std::system("tshark --version >/dev/null 2>&1") == 0; }

std::vector<CDecodedFrame> DecodeCapture(const std::string& path) {
  // Level frames go to tshark's channel dissector, which shows the start code ahead of the
  // slots; other start codes leave their slots as plain data.
  const std::string text = Capture("tshark -r '" + path +
                                   "' -T fields -e frame.time_epoch -e dmx.start_code -e dmx_chan.data_filter"
                                   " -e data.data 2>/dev/null");
  std::vector<CDecodedFrame> frames;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    std::string field;
    while (std::getline(split, field, '\t')) fields.push_back(field);
    fields.resize(4);
    CDecodedFrame frame;
    frame.time = std::stod(fields[0]);
    frame.startCode = static_cast<int>(std::stol(fields[1], nullptr, 16));
    if (!fields[2].empty()) {
      frame.slots = FromHex(fields[2]);
      frame.slots.erase(frame.slots.begin());
    } else {
      frame.slots = FromHex(fields[3]);
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

std::size_t CountStartCode(const std::vector<CDecodedFrame>& frames, int startCode) {
  std::size_t count = 0;
  for (const auto& frame : frames) count += frame.startCode == startCode;
  return count;
}
