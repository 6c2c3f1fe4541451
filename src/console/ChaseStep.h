// The levels of one chase step: DMX channels 1 to 142, one transmit page.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "link/LineConstants.h"

// Channels a chase step holds: transmit page 0, which carries them.
inline constexpr std::size_t kStepSize = kPageSize;

using CChaseStep = std::array<std::uint8_t, kStepSize>;
