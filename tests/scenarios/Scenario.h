// Running vexmira on a scenario script, and reading its capture back through tshark.
#pragma once
#include "support/TempFolder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct CScenarioRun {
  int exitCode = -1;
  std::string errors;   // what vexmira printed on stderr
  std::string capture;  // path of the capture file
  // The private folder the script ran in, with its capture and the files it wrote.
  std::shared_ptr<CTempFolder> folder;
};

// Copies tests/scenarios/NAME and the scenarios' data files into a private folder and runs
// `vexmira --interface IFACE --script FOLDER/NAME --capture FOLDER/NAME.pcap ARGS` from elsewhere:
// the script's relative file names resolve in that folder.
CScenarioRun RunScenario(const std::string& scriptName, const std::string& interfaceName,
                         const std::string& extraArgs = "");

struct CDecodedFrame {
  std::int64_t epochUs = 0;  // the record time: microseconds since the epoch
  double time = 0;           // seconds since the capture's first frame
  int startCode = -1;
  std::vector<std::uint8_t> slots;
};

// Runs a shell command line and returns its standard output; `status`: its exit status (-1: killed).
std::string RunShell(const std::string& command, int* status = nullptr);

bool HaveTshark();
// The frames of a scenario run on the virtual interface, which must end with exit status 0.
std::vector<CDecodedFrame> RunAndDecode(const std::string& scriptName);
// The frames of a capture as tshark decodes them as DMX512.
std::vector<CDecodedFrame> DecodeCapture(const std::string& path);
// Counts the frames with this start code.
std::size_t CountStartCode(const std::vector<CDecodedFrame>& frames, int startCode);
