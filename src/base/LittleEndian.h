// Little-endian numbers in byte buffers: binary formats are read and written byte by byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline std::uint16_t ReadU16Le(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

inline std::uint32_t ReadU32Le(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<std::uint32_t>(bytes[at + 2]) << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

// Writes the low `width` bytes of value at `at`, lowest first.
inline void WriteLe(std::span<std::uint8_t> bytes, std::size_t at, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void WriteU16Le(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) { WriteLe(bytes, at, value, 2); }
inline void WriteU32Le(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) { WriteLe(bytes, at, value, 4); }

// Appends the low `width` bytes of value, lowest first.
inline void AppendLe(std::vector<std::uint8_t>& out, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
