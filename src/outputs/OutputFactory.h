// Builds the output named on the command line (--interface), by the table of output kinds.
#pragma once
#include "outputs/OutputKinds.h"

#include <string_view>

// The output `name` stands for, or an error that names the cause; an unknown name lists the known
// ones.
COutputResult MakeOutput(std::string_view name, const COutputContext& context = {});
// A shorthand for tests and tools that put a fake tty in.
COutputResult MakeOutput(std::string_view name, std::shared_ptr<CTtyControl> control);
