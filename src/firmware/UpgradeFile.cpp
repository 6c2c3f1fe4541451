// Reading and checking an upgrade file.
#include "firmware/UpgradeFile.h"

#include "base/LittleEndian.h"
#include "base/WholeFile.h"

#include <algorithm>
#include <cassert>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kSignatureText = "Zelkar product firmware upgrade file";
constexpr std::string_view kFormatError = "Upgrade file format error!";

bool HasSignature(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < CUpgradeFile::kSignatureSize) return false;
  for (std::size_t i = 0; i < kSignatureText.size(); ++i) {
    if (bytes[i] != static_cast<std::uint8_t>(kSignatureText[i])) return false;
  }
  return bytes[36] == 0x00 && bytes[37] == 0x0A;
}

CError TooLarge(std::uint64_t size) {
  return CError{"Upgrade file is too large: " + std::to_string(size) + " bytes; at most " +
                std::to_string(CUpgradeFile::kMaxSize) + " bytes can be sent."};
}

std::string N(std::uint64_t value) { return std::to_string(value); }

CError Damaged(const std::string& what) { return CError{"Upgrade file is damaged: " + what}; }

}  // namespace

std::expected<CUpgradeFile, CError> CUpgradeFile::Parse(std::vector<std::uint8_t> bytes) {
  if (!HasSignature(bytes)) return std::unexpected(CError{std::string(kFormatError)});
  if (bytes.size() > kMaxSize) return std::unexpected(TooLarge(bytes.size()));
  if (bytes.size() < kHeaderSize) return std::unexpected(Damaged("it ends inside its file tag."));
  if (bytes.size() == kHeaderSize) return std::unexpected(CError{"Upgrade file holds no firmware block."});

  // First pass: check the chain and count its blocks, so that the offset list is allocated once.
  const std::uint64_t size = bytes.size();
  std::uint64_t offset = kHeaderSize;
  std::uint64_t total = 0;
  std::size_t count = 0;
  while (offset < size) {
    const std::size_t number = ++count;
    if (size - offset < kBlockHeaderSize) {
      return std::unexpected(Damaged("the header of block " + N(number) + " runs past the end of the file."));
    }
    const std::uint32_t length = ReadU32Le(bytes, offset + 2);
    const std::uint16_t chunkSize = ReadU16Le(bytes, offset + 6);
    const std::uint64_t left = size - offset - kBlockHeaderSize;
    if (length > left) {
      return std::unexpected(Damaged("block " + N(number) + " runs past the end of the file (it holds " + N(length) +
                                     " bytes, " + N(left) + " are left)."));
    }
    if (length > 0 && chunkSize > kMaxChunkSize) {
      return std::unexpected(Damaged("block " + N(number) + " has a chunk size of " + N(chunkSize) +
                                     " bytes; a frame carries at most " + N(kMaxChunkSize) + "."));
    }
    if (length > 0 && chunkSize == 0) {
      return std::unexpected(
          Damaged("block " + N(number) + " has a chunk size of 0 but holds " + N(length) + " bytes."));
    }
    total += length;
    offset += kBlockHeaderSize + length;
  }
  // The size limit above bounds the total too: every data byte is a byte of the file.
  assert(total <= kMaxSize);

  CUpgradeFile file;
  file.m_transferTotal = static_cast<std::uint32_t>(total);
  file.m_blockOffsets.reserve(count);
  for (offset = kHeaderSize; offset < size; offset += kBlockHeaderSize + ReadU32Le(bytes, offset + 2)) {
    file.m_blockOffsets.push_back(static_cast<std::uint32_t>(offset));
  }
  file.m_bytes = std::move(bytes);
  return file;
}

std::expected<CUpgradeFile, CError> CUpgradeFile::Read(const std::filesystem::path& path) {
  const std::string name = path.string();
  const auto openError = [&] { return std::unexpected(CError{"\"" + name + "\" open error!"}); };
  const auto readError = [&] { return std::unexpected(CError{"\"" + name + "\" read error!"}); };

  // Only a regular file has a length to read; a directory, pipe or device is refused as unopenable.
  // The signature and the length are looked at first: a file that is no upgrade file, or one too
  // large to send, is refused without being read whole (gigabytes would take seconds and as much memory).
  const auto refused = [&](const CWholeFileError& error) {
    return error.kind == CWholeFileError::EKind::Read ? readError() : openError();
  };
  const auto head = ReadWholeFile(path, kSignatureSize, EBeyondLimit::ReadPrefix);
  if (!head) return refused(head.error());
  if (!HasSignature(head->bytes)) return std::unexpected(CError{std::string(kFormatError)});
  if (head->size > kMaxSize) return std::unexpected(TooLarge(head->size));
  auto whole = ReadWholeFile(path, kMaxSize);
  if (!whole) {
    if (whole.error().kind == CWholeFileError::EKind::TooLarge) return std::unexpected(TooLarge(whole.error().size));
    return refused(whole.error());
  }
  return Parse(std::move(whole->bytes));
}

CUpgradeFile::CFileTag CUpgradeFile::FileTag() const { return {m_bytes[38], m_bytes[39], m_bytes[40]}; }

CUpgradeFile::CBlock CUpgradeFile::Block(std::size_t index) const {
  assert(index < m_blockOffsets.size());
  const std::size_t at = m_blockOffsets[index];
  CBlock block;
  block.offset = at;
  block.tag = {m_bytes[at], m_bytes[at + 1]};
  block.length = ReadU32Le(m_bytes, at + 2);
  block.chunkSize = ReadU16Le(m_bytes, at + 6);
  // Byte 8 of the header is reserved and never read.
  block.word = ReadU32Le(m_bytes, at + 9);
  return block;
}

std::span<const std::uint8_t> CUpgradeFile::BlockData(const CBlock& block) const {
  assert(block.DataOffset() + block.length <= m_bytes.size());
  return std::span<const std::uint8_t>(m_bytes).subspan(block.DataOffset(), block.length);
}
