// Test helper: upgrade file bytes assembled block by block, and written to a temporary file.
#pragma once
#include "base/LittleEndian.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

using CBytes = std::vector<std::uint8_t>;

struct CUpgradeImage {
  CBytes bytes;

  explicit CUpgradeImage(std::array<std::uint8_t, 3> fileTag = {0x01, 0x02, 0x03}) {
    constexpr std::string_view kText = "Zelkar product firmware upgrade file";
    bytes.assign(kText.begin(), kText.end());
    bytes.insert(bytes.end(), {0x00, 0x0A, fileTag[0], fileTag[1], fileTag[2]});
  }
  // The reserved header byte is 0x5A.
  CUpgradeImage& Block(std::array<std::uint8_t, 2> tag, std::uint16_t chunkSize, std::uint32_t word, const CBytes& data) {
    bytes.insert(bytes.end(), {tag[0], tag[1]});
    AppendLe(bytes, data.size(), 4);
    AppendLe(bytes, chunkSize, 2);
    bytes.push_back(0x5A);
    AppendLe(bytes, word, 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
};

inline std::string WriteTempFile(const std::string& name, const CBytes& bytes) {
  const std::string path = ::testing::TempDir() + "vexmira_fw_" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
  return path;
}
