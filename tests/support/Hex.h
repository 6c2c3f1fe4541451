// Bytes from hex digits, for tests; blanks are left out ("0010 00ff" -> {0x00, 0x10, 0x00, 0xFF}).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> Hex(std::string digits) {
  std::erase(digits, ' ');
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}
