// Test helper: assembles upgrade file bytes block by block.
#pragma once
#include <array>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CUpgradeImage {
 public:
  explicit CUpgradeImage(std::array<std::uint8_t, 3> fileTag = {0x01, 0x02, 0x03}) {
    constexpr std::string_view kText = "Zelkar product firmware upgrade file";
    m_bytes.assign(kText.begin(), kText.end());
    m_bytes.push_back(0x00);
    m_bytes.push_back(0x0A);
    m_bytes.insert(m_bytes.end(), fileTag.begin(), fileTag.end());
  }

  // Appends a block; `declaredLength` puts a length in the header other than the data's size.
  CUpgradeImage& Block(std::array<std::uint8_t, 2> tag, std::uint16_t chunkSize, std::uint32_t word,
                       const std::vector<std::uint8_t>& data,
                       std::optional<std::uint32_t> declaredLength = std::nullopt) {
    const std::uint32_t length = declaredLength.value_or(static_cast<std::uint32_t>(data.size()));
    m_bytes.push_back(tag[0]);
    m_bytes.push_back(tag[1]);
    PutLe(length, 4);
    PutLe(chunkSize, 2);
    m_bytes.push_back(0x5A);  // reserved: any value
    PutLe(word, 4);
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    return *this;
  }

  CUpgradeImage& Raw(const std::vector<std::uint8_t>& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }

  const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

 private:
  void PutLe(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) m_bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }

  std::vector<std::uint8_t> m_bytes;
};

// Bytes first, first + 1, ... (wrapping at 256).
inline std::vector<std::uint8_t> Counting(std::size_t count, std::uint8_t first = 0) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}

// Writes `bytes` to `path` and returns the path.
inline std::string WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}
