// The fade table: building it between two steps and applying it once per tick.
#include "console/FadeTable.h"

#include <cassert>

CFadeTable::CFadeTable() { SetAtRest(); }

void CFadeTable::SetAtRest() { m_channels.fill(kAtRest); }

void CFadeTable::Build(const CChaseStep& from, const CChaseStep& to, std::uint16_t fadeLength) {
  assert(fadeLength != 0);
  for (std::size_t c = 0; c < kStepSize; ++c) {
    const int distance = from[c] > to[c] ? from[c] - to[c] : to[c] - from[c];
    Channel& channel = m_channels[c];
    channel.m_step = static_cast<std::uint16_t>(distance / fadeLength);
    channel.m_remainder = static_cast<std::uint16_t>(distance % fadeLength);
    channel.m_divisor = fadeLength;
    channel.m_error = static_cast<std::uint16_t>(fadeLength / 2);
  }
}

void CFadeTable::Crossfade(std::span<std::uint8_t, kStepSize> live,
                           std::span<const std::uint8_t, kStepSize> target) {
  for (std::size_t c = 0; c < kStepSize; ++c) {
    Channel& channel = m_channels[c];
    const std::uint16_t v = live[c];
    const std::uint16_t t = target[c];
    if (v == t) {
      channel.m_error = 0;
      continue;
    }
    if (v < t) {
      auto n = static_cast<std::uint16_t>(v + channel.m_step);
      channel.m_error = static_cast<std::uint16_t>(channel.m_error + channel.m_remainder);
      if (channel.m_error >= channel.m_divisor) {
        channel.m_error = static_cast<std::uint16_t>(channel.m_error - channel.m_divisor);
        n = static_cast<std::uint16_t>(n + 1);
      }
      live[c] = static_cast<std::uint8_t>(n <= t ? n : t);
    } else {
      auto n = static_cast<std::uint16_t>(v - channel.m_step);
      if (channel.m_error >= channel.m_remainder) {
        channel.m_error = static_cast<std::uint16_t>(channel.m_error - channel.m_remainder);
      } else {
        channel.m_error =
            static_cast<std::uint16_t>(channel.m_error - channel.m_remainder + channel.m_divisor);
        n = static_cast<std::uint16_t>(n - 1);
      }
      // Below the target, or above the start because the subtraction wrapped below zero.
      live[c] = static_cast<std::uint8_t>(n < t || n > v ? t : n);
    }
  }
}
