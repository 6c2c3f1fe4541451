// The levels of one chase step: DMX channels 1 to 142, one transmit page.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

// Channels a chase step holds, and the size of transmit page 0 that carries them.
inline constexpr std::size_t kStepSize = 142;

using CChaseStep = std::array<std::uint8_t, kStepSize>;
