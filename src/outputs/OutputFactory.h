// Builds the output named on the command line (--interface).
#pragma once
#include "base/Error.h"
#include "link/DmxOutput.h"
#include "outputs/KernelTtyControl.h"

#include <expected>
#include <memory>
#include <string_view>

// Known names:
//   "opendmx:/dev/ttyUSB0"  an FTDI or RS-485 serial adapter; the computer makes the DMX timing
//   "pro:/dev/ttyUSB0"      a DMX USB Pro-style widget (at most 512 slots)
//   "sacn:1@10.0.0.5,priority=150"  sACN (E1.31) to a node, or to the universe's multicast group
//   "artnet:0@10.0.0.5"      Art-Net to a node, or broadcast
//   "auto"                  the first interface found (a Pro widget first); an error when none is
//   "virtual", "virtual:0x0101", "virtual:0x0102"  frames kept in memory
//   "none"                  no interface answers
// Serial devices are opened (through `control`) and host names resolved here, so a missing device,
// a permission problem or an unknown host is reported now.
std::expected<std::unique_ptr<CDmxOutput>, CError> MakeOutput(
    std::string_view name, std::shared_ptr<CTtyControl> control = CKernelTtyControl::Shared());
