// The ranges the addressing dialogs accept for DMX start addresses and fixture numbers.
#pragma once
#include <cstdint>

inline constexpr std::uint32_t kMinDmxAddress = 1;
inline constexpr std::uint32_t kMaxDmxAddress = 512;
inline constexpr std::uint32_t kMinFixtureNumber = 1;
inline constexpr std::uint32_t kMaxFixtureNumber = 170;

// What a user is told when an address field holds a number out of range.
inline constexpr const char* kDmxAddressRangeMessage = "DMX Address Must Range in 1 to 512";

inline constexpr bool IsDmxAddress(std::uint32_t n) { return n >= kMinDmxAddress && n <= kMaxDmxAddress; }
inline constexpr bool IsFixtureNumber(std::uint32_t n) { return n >= kMinFixtureNumber && n <= kMaxFixtureNumber; }
