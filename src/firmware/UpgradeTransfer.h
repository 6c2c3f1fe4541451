// The upgrade transfer engine: walks the blocks of an upgrade file and holds each frame for its ticks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeFrameBuilder.h"

// Driven by one Tick() per 35 ms timer tick. While idle, every tick sends the idle frame. A transfer
// sends, for each block in file order, its data frames and then its block end frame. A block's first
// data frame is held 85 ticks, every other frame `hold ticks` (speed slider position + 3). A frame held
// H ticks is sent H - 3 times: on the third to the (H - 1)-th tick after it was built, never on the tick
// that builds it nor on the two after.
class CUpgradeTransfer final {
 public:
  static constexpr int kFirstFrameHold = 85;
  static constexpr int kMinSpeed = 1;
  static constexpr int kMaxSpeed = 100;
  static constexpr int kQuietTicks = 3;  // the change tick and the two after it send nothing

  // What the caller does after one tick.
  struct CTickResult {
    bool frameChanged = false;  // Frame() holds a new frame: hand its four pages to the interface
    bool transmit = false;      // put the current frame on the line once
    bool finished = false;      // the transfer has just ended; the idle frame is in place
  };

  // Starts idle, with the idle frame built and the slider at position 1 (hold ticks 4).
  CUpgradeTransfer();
  CUpgradeTransfer(const CUpgradeTransfer&) = delete;
  CUpgradeTransfer& operator=(const CUpgradeTransfer&) = delete;
  ~CUpgradeTransfer() = default;

  // Takes over a checked file and starts sending it from its first block, replacing any running
  // transfer. Builds the first block's first data frame: hand Frame() over afterwards.
  void Start(CUpgradeFile file);
  CTickResult Tick();
  // The speed slider moved to `position` (1 to 100): later frames are held position + 3 ticks, and a
  // frame due to be held longer than that is left sooner. The frame's own schedule of quiet ticks stays.
  void SetSpeed(int position);

  bool Idle() const { return m_file == nullptr; }
  // Data bytes put into data frames since the transfer started, against TransferTotal().
  std::uint32_t BytesSent() const { return m_bytesSent; }
  std::uint32_t TransferTotal() const { return m_transferTotal; }
  int HoldTicks() const { return m_holdTicks; }

  const CUpgradeFrameBuilder::CBuffer& Frame() const { return m_frame; }
  // Transmit page `page` (0 to 3) of the current frame.
  std::span<const std::uint8_t, CUpgradeFrameBuilder::kTransmitPage> Page(std::size_t page) const;

 private:
  void StartBlock();
  void BuildDataFrame();
  void BuildBlockEndFrame();
  void BuildIdleFrame();
  void Hold(int ticks);

  std::unique_ptr<const CUpgradeFile> m_file;  // the image; present exactly while a transfer runs
  CUpgradeFrameBuilder m_builder;
  CUpgradeFrameBuilder::CBuffer m_frame{};

  std::size_t m_nextBlock = 0;  // index of the next block to start
  CUpgradeFile::CBlock m_block;
  std::uint32_t m_chunkOffset = 0;
  std::uint32_t m_bytesLeftInBlock = 0;
  bool m_blockEndSent = false;
  std::uint32_t m_bytesSent = 0;
  std::uint32_t m_transferTotal = 0;

  int m_holdCountdown = 0;
  int m_frameHold = 0;
  int m_holdTicks = kMinSpeed + kQuietTicks;
};
