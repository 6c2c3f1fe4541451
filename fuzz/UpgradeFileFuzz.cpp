// Fuzz target: any bytes given to the upgrade file reader; accepted files are sent through the transfer.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeFrameBuilder.h"
#include "firmware/UpgradeTransfer.h"
#include "link/DmxLink.h"
#include "link/LineConstants.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

std::uint32_t Le32(const std::uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// An accepted file is a well-formed chain of blocks that ends exactly at the end of the file.
void CheckAccepted(const CUpgradeFile& file, const std::uint8_t* data, std::size_t size) {
  Check(file.Bytes().size() == size && std::memcmp(file.Bytes().data(), data, size) == 0);
  Check(file.BlockCount() > 0);
  std::size_t offset = CUpgradeFile::kHeaderSize;
  std::uint64_t total = 0;
  for (std::size_t i = 0; i < file.BlockCount(); ++i) {
    const auto block = file.Block(i);
    Check(block.offset == offset);
    Check(block.length == Le32(data + offset + 2));
    Check(block.length == 0 || (block.chunkSize >= 1 && block.chunkSize <= CUpgradeFile::kMaxChunkSize));
    total += block.length;
    offset += CUpgradeFile::kBlockHeaderSize + block.length;
  }
  Check(offset == size);
  Check(total == file.TransferTotal());
}

// A line that hands each whole frame (all four pages) to `take`.
class CFrameLink final : public CDmxLink {
 public:
  explicit CFrameLink(std::function<void(const CUpgradeFrameBuilder::CBuffer&)> take) : m_take(std::move(take)) {}

  std::int32_t DmxLinkOpen(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkSetMode(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) override {
    Check(page >= 0 && page < kPageCount);
    std::memcpy(m_image.data() + kPageSize * page, data, kPageSize);
    if (page == kPageCount - 1) m_take(m_image);
    return 0;
  }
  std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkTransmitStart() override { return 0; }
  std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t, const std::uint8_t*) override { return 0; }
  std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkStandBy() override { return 0; }
  std::string LastError() const override { return {}; }

 private:
  std::function<void(const CUpgradeFrameBuilder::CBuffer&)> m_take;
  CUpgradeFrameBuilder::CBuffer m_image{};
};

// Sends the file tick by tick and checks that the data frames carry every block's data in order.
void CheckTransfer(CUpgradeFile file) {
  std::vector<std::vector<std::uint8_t>> expected;
  for (std::size_t i = 0; i < file.BlockCount(); ++i) {
    const auto data = file.BlockData(file.Block(i));
    expected.emplace_back(data.begin(), data.end());
  }
  const std::uint32_t total = file.TransferTotal();

  std::vector<std::vector<std::uint8_t>> received(1);
  const CUpgradeTransfer* engine = nullptr;
  auto take = [&](const CUpgradeFrameBuilder::CBuffer& frame) {
    // The idle frames, at the open and at the finish, are handed over outside the transfer.
    if (engine->State() != CUpgradeTransfer::EState::Transferring) return;
    if (frame[6] == 0xFF && frame[7] == 0xFF && frame[8] == 0xFF && frame[9] == 0xFF) {
      received.emplace_back();  // block end: the next data frame belongs to the next block
      return;
    }
    const std::size_t n = frame[10] | (frame[11] << 8);
    Check(n <= CUpgradeFrameBuilder::kMaxPayload);
    Check(Le32(&frame[6]) == received.back().size());
    received.back().insert(received.back().end(), frame.begin() + 12, frame.begin() + 12 + static_cast<long>(n));
  };
  CFrameLink link(take);
  CUpgradeTransfer transfer(link);
  engine = &transfer;
  transfer.Open();
  transfer.Start(std::move(file));
  while (transfer.State() == CUpgradeTransfer::EState::Transferring) transfer.Tick();
  Check(transfer.BytesSent() == total);
  received.pop_back();  // opened by the last block end
  Check(received == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto file = CUpgradeFile::Parse(std::vector<std::uint8_t>(data, data + size));
  if (!file) {
    Check(!file.error().message.empty());
    return 0;
  }
  CheckAccepted(*file, data, size);
  // Keep each run short: a transfer of many tiny chunks takes many frames.
  std::size_t frames = 0;
  for (std::size_t i = 0; i < file->BlockCount(); ++i) {
    const auto block = file->Block(i);
    frames += 2 + (block.chunkSize ? block.length / block.chunkSize : 0);
  }
  if (frames <= 4096) CheckTransfer(std::move(*file));
  return 0;
}
