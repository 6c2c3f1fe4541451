// The fade table: how each live-page channel moves toward its target per console tick.
#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "console/ChaseStep.h"

// Per channel an integer line-drawing state: every tick the channel moves by m_step,
// and by one more whenever the accumulated remainder passes the divisor, so a fade
// over T ticks covers its distance exactly without a division per tick.
// All arithmetic is 16-bit unsigned, wrap-around included.
class CFadeTable final {
 public:
  struct Channel {
    std::uint16_t m_step = 255;
    std::uint16_t m_remainder = 0;
    std::uint16_t m_divisor = 1;
    std::uint16_t m_error = 0;
    bool operator==(const Channel&) const = default;
  };

  // The entry of a channel at rest: it reaches any target in one tick.
  static const Channel kAtRest;

  // Fade length in ticks for a fade setting in tenths of a second: 4 ticks of 25 ms
  // per tenth, taken modulo 65536, and 1 tick when that comes to 0.
  static constexpr std::uint16_t FadeLength(std::uint16_t fadeSetting) {
    const auto ticks = static_cast<std::uint16_t>(4u * fadeSetting);
    return ticks == 0 ? std::uint16_t{1} : ticks;
  }

  CFadeTable();  // at rest

  void SetAtRest();

  // Prepares a fade of fadeLength ticks (at least 1) between two recorded steps.
  // The only place that divides.
  void Build(const CChaseStep& from, const CChaseStep& to, std::uint16_t fadeLength);

  // One tick: moves every live channel toward its target and never past it.
  void Crossfade(std::span<std::uint8_t, kStepSize> live,
                 std::span<const std::uint8_t, kStepSize> target);

 private:
  std::array<Channel, kStepSize> m_channels;
};

inline constexpr CFadeTable::Channel CFadeTable::kAtRest{};
