// The upgrade transfer engine: keeps the idle frame or an upgrade file's frames on the line, tick by tick.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeFrameBuilder.h"
#include "link/DmxLink.h"

// Driven by one Tick() per 35 ms timer tick; makes every call on the line itself. While no transfer
// runs, every tick sends the idle frame. A transfer sends, for each block in file order, its data
// frames and then its block end frame. A block's first data frame is held 85 ticks, every other
// frame `hold ticks` (speed slider position + 3). A frame held H ticks is sent H - 3 times: on the
// third to the (H - 1)-th tick after it was built, never on the tick that builds it nor on the two after.
class CUpgradeTransfer final {
 public:
  static constexpr std::int32_t kStartCode = 0xF9;
  static constexpr std::int32_t kInterval = 6;
  static constexpr int kFirstFrameHold = 85;
  static constexpr int kMinSpeed = 1;
  static constexpr int kMaxSpeed = 100;
  static constexpr int kQuietTicks = 3;  // the change tick and the two after it send nothing

  enum class EState {
    Idle,          // no transfer runs: the idle frame goes out on every tick
    Transferring,  // a file's frames go out; BytesSent() of TransferTotal() are in data frames
    Finished,      // a transfer has run to its end: the idle frame goes out on every tick again
  };

  // Starts idle, with the slider at position 1 (hold ticks 4); makes no call until Open().
  explicit CUpgradeTransfer(CDmxLink& link);
  CUpgradeTransfer(const CUpgradeTransfer&) = delete;
  CUpgradeTransfer& operator=(const CUpgradeTransfer&) = delete;
  ~CUpgradeTransfer() = default;

  // Sets the line's upgrade mode and hands it the idle frame. A line that cannot send upgrade
  // frames refuses the mode: LineRefusal() then gives its reason, and nothing goes out.
  void Open();
  // Takes over a checked file and puts its first frame on the line, replacing any running
  // transfer. Only on a line that took the upgrade mode.
  void Start(CUpgradeFile file);
  void Tick();
  // The speed slider moved to `position` (1 to 100): later frames are held position + 3 ticks, and a
  // frame due to be held longer than that is left sooner. The frame's own quiet ticks stay.
  void SetSpeed(int position);
  // Drops any transfer without notice and puts the line to stand-by; once: later calls do nothing.
  void Close();

  EState State() const { return m_state; }
  const std::optional<std::string>& LineRefusal() const { return m_lineRefusal; }
  // Data bytes put into data frames since the transfer started, against TransferTotal().
  std::uint32_t BytesSent() const { return m_bytesSent; }
  std::uint32_t TransferTotal() const { return m_transferTotal; }

 private:
  void StartBlock();
  void NextFrame();
  void BuildDataFrame();
  void BuildBlockEndFrame();
  void BuildIdleFrame();
  void Hold(int ticks);

  CDmxLink& m_link;
  EState m_state = EState::Idle;
  bool m_closed = false;
  std::optional<std::string> m_lineRefusal;
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
