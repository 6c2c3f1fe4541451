// The time label format of the chase panel: tenths of a second as m's.t".
#pragma once
#include <cstdint>
#include <string>

// Minutes, an apostrophe, seconds without a leading zero, a full stop, tenths and a
// double-quote character: 655 gives 1'5.5".
std::string FormatTenths(std::uint32_t tenths);
