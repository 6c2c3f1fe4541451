// Builds the output named on the command line (--interface).
#pragma once
#include "base/Error.h"
#include "link/DmxOutput.h"

#include <expected>
#include <memory>
#include <string_view>

// Known names: "virtual", "virtual:0x0101", "virtual:0x0102", "none".
std::expected<std::unique_ptr<CDmxOutput>, CError> MakeOutput(std::string_view name);
