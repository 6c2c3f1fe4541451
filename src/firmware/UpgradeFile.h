// An upgrade file (.zku) held whole in memory and checked completely before any of it is sent.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <span>
#include <vector>

#include "base/Error.h"

// The file is stored once, as read; blocks are kept as offsets into it and decoded on demand,
// so the whole object costs little more than the file itself.
class CUpgradeFile final {
 public:
  static constexpr std::size_t kSignatureSize = 38;
  static constexpr std::size_t kHeaderSize = 41;       // signature and file tag
  static constexpr std::size_t kBlockHeaderSize = 13;  // tag, length, chunk size, reserved, word
  static constexpr std::size_t kMaxChunkSize = 512;    // payload bytes of one data frame
  // Progress is shown over a signed 32-bit range, so the transfer total (and with it the file) must fit.
  static constexpr std::uint64_t kMaxSize = 0x7FFFFFFF;

  using CFileTag = std::array<std::uint8_t, 3>;
  using CBlockTag = std::array<std::uint8_t, 2>;

  // One firmware block, decoded from its 13-byte header.
  struct CBlock {
    std::size_t offset = 0;  // of the block header within the file
    CBlockTag tag{};
    std::uint32_t length = 0;     // data bytes
    std::uint16_t chunkSize = 0;  // largest number of data bytes per data frame
    std::uint32_t word = 0;       // sent in the block end frame
    std::size_t DataOffset() const { return offset + kBlockHeaderSize; }
  };

  // Checks the whole file: signature, then a chain of blocks that ends exactly at the end of the
  // file, with at least one block and a usable chunk size for every block that holds data.
  static std::expected<CUpgradeFile, CError> Parse(std::vector<std::uint8_t> bytes);
  // Reads the file at `path` and parses it; its signature and length are checked before the rest
  // is read. An open failure gives the message "\"PATH\" open error!".
  static std::expected<CUpgradeFile, CError> Read(const std::filesystem::path& path);

  CUpgradeFile(CUpgradeFile&&) noexcept = default;
  CUpgradeFile& operator=(CUpgradeFile&&) noexcept = default;
  CUpgradeFile(const CUpgradeFile&) = delete;  // an image is large; move it, never copy it
  CUpgradeFile& operator=(const CUpgradeFile&) = delete;
  ~CUpgradeFile() = default;

  CFileTag FileTag() const;
  std::size_t BlockCount() const { return m_blockOffsets.size(); }
  CBlock Block(std::size_t index) const;  // index < BlockCount()
  std::span<const std::uint8_t> BlockData(const CBlock& block) const;
  // Sum of the block lengths: the bytes a transfer puts into data frames.
  std::uint32_t TransferTotal() const { return m_transferTotal; }
  std::span<const std::uint8_t> Bytes() const { return m_bytes; }

 private:
  CUpgradeFile() = default;

  std::vector<std::uint8_t> m_bytes;
  std::vector<std::uint32_t> m_blockOffsets;
  std::uint32_t m_transferTotal = 0;
};
