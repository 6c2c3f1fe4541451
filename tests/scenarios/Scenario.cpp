// Scenario runs and tshark decoding.
#include "Scenario.h"

#include "support/Hex.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

#include <gtest/gtest.h>

std::string RunShell(const std::string& command, int* status) {
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

CScenarioRun RunScenario(const std::string& scriptName, const std::string& interfaceName, const std::string& extraArgs) {
  CScenarioRun run;
  run.folder = std::make_shared<CTempFolder>();
  for (const auto& entry : std::filesystem::directory_iterator(SCENARIO_DIR)) {
    const std::string extension = entry.path().extension().string();
    if (extension == ".vxs" || extension == ".zku" || extension == ".zkc")
      std::filesystem::copy_file(entry.path(), run.folder->Path() / entry.path().filename());
  }
  run.capture = *run.folder / (scriptName + ".pcap");
  const std::string errors = *run.folder / (scriptName + ".err");
  const std::string command = "cd / && " + std::string(VEXMIRA_BIN) + " --interface '" + interfaceName +
                              "' --script '" + (*run.folder / scriptName).string() + "' --capture '" + run.capture + "' " +
                              extraArgs + " 2>'" + errors + "'";
  RunShell(command, &run.exitCode);
  run.errors = ReadFile(errors);
  return run;
}

bool HaveTshark() { return std::system("tshark --version >/dev/null 2>&1") == 0; }

std::vector<CDecodedFrame> RunAndDecode(const std::string& scriptName) {
  const CScenarioRun run = RunScenario(scriptName, "virtual");
  EXPECT_EQ(run.exitCode, 0) << scriptName << ": " << run.errors;
  return DecodeCapture(run.capture);
}

std::vector<CDecodedFrame> DecodeCapture(const std::string& path) {
  // Level frames go to tshark's channel dissector, which shows the start code ahead of the
  // slots; other start codes leave their slots as plain data.
  const std::string text = RunShell("tshark -r '" + path +
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
    // Whole microseconds: a double holding seconds since 1970 is too coarse for exact intervals.
    const std::size_t dot = fields[0].find('.');
    frame.epochUs = std::stoll(fields[0].substr(0, dot)) * 1'000'000 + std::stoll(fields[0].substr(dot + 1, 6));
    frame.time = frames.empty() ? 0.0 : static_cast<double>(frame.epochUs - frames.front().epochUs) / 1e6;
    frame.startCode = static_cast<int>(std::stol(fields[1], nullptr, 16));
    if (!fields[2].empty()) {
      frame.slots = Hex(fields[2]);
      frame.slots.erase(frame.slots.begin());
    } else {
      frame.slots = Hex(fields[3]);
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
