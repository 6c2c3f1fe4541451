// Running vexmira on a scenario script, and reading its capture back through tshark.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct CScenarioRun {
  int exitCode = -1;
  std::string errors;   // what vexmira printed on stderr
  std::string capture;  // path of the capture file
};

// Runs `vexmira --interface IFACE --script tests/scenarios/NAME --capture TMP ARGS`.
CScenarioRun RunScenario(const std::string& scriptName, const std::string& interfaceName,
                         const std::string& extraArgs = "");

struct CDecodedFrame {
  double time = 0;  // seconds, from the capture's record time
  int startCode = -1;
  std::vector<std::uint8_t> slots;
};

bool HaveTshark();
// The frames of a capture as tshark decodes them as DMX512.
std::vector<CDecodedFrame> DecodeCapture(const std::string& path);
// Counts the frames with this start code.
std::size_t CountStartCode(const std::vector<CDecodedFrame>& frames, int startCode);
