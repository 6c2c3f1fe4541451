// The upgrade transfer's block walk and hold schedule.
#include "firmware/UpgradeTransfer.h"

#include <algorithm>
#include <cassert>

CUpgradeTransfer::CUpgradeTransfer() { BuildIdleFrame(); }

void CUpgradeTransfer::Start(CUpgradeFile file) {
  assert(file.BlockCount() > 0);  // a parsed file always holds a block
  // Replacing the image releases the one of a running transfer.
  m_file = std::make_unique<const CUpgradeFile>(std::move(file));
  m_builder = CUpgradeFrameBuilder(m_file->FileTag());
  m_transferTotal = m_file->TransferTotal();
  m_bytesSent = 0;
  m_nextBlock = 0;
  StartBlock();
}

void CUpgradeTransfer::StartBlock() {
  m_block = m_file->Block(m_nextBlock++);
  m_bytesLeftInBlock = m_block.length;
  m_chunkOffset = 0;
  BuildDataFrame();
  Hold(kFirstFrameHold);
}

void CUpgradeTransfer::BuildDataFrame() {
  const std::uint32_t n = std::min<std::uint32_t>(m_block.chunkSize, m_bytesLeftInBlock);
  const auto chunk = m_file->BlockData(m_block).subspan(m_chunkOffset, n);
  m_builder.BuildData(m_frame, m_block.tag, m_chunkOffset, chunk);
  m_chunkOffset += n;
  m_bytesLeftInBlock -= n;
  m_bytesSent += n;
  m_blockEndSent = false;
}

void CUpgradeTransfer::BuildBlockEndFrame() {
  m_builder.BuildBlockEnd(m_frame, m_block.tag, m_block.length, m_block.word);
  m_blockEndSent = true;
}

void CUpgradeTransfer::BuildIdleFrame() { CUpgradeFrameBuilder::BuildIdle(m_frame); }

void CUpgradeTransfer::Hold(int ticks) { m_holdCountdown = m_frameHold = ticks; }

CUpgradeTransfer::CTickResult CUpgradeTransfer::Tick() {
  CTickResult result;
  if (Idle()) {
    result.transmit = true;
    return result;
  }
  if (--m_holdCountdown == 0) {
    Hold(m_holdTicks);
    result.frameChanged = true;
    if (m_bytesLeftInBlock != 0) {
      BuildDataFrame();
    } else if (!m_blockEndSent) {
      BuildBlockEndFrame();
    } else if (m_nextBlock < m_file->BlockCount()) {
      // Blocks of length 0 count too: each still gets its data frame and block end frame.
      StartBlock();
    } else {
      m_file.reset();
      BuildIdleFrame();
      result.finished = true;
    }
    return result;  // nothing is sent on the tick that changes the frame
  }
  result.transmit = m_holdCountdown > 0 && m_holdCountdown <= m_frameHold - kQuietTicks;
  return result;
}

void CUpgradeTransfer::SetSpeed(int position) {
  m_holdTicks = std::clamp(position, kMinSpeed, kMaxSpeed) + kQuietTicks;
  m_holdCountdown = std::min(m_holdCountdown, m_holdTicks);
}

std::span<const std::uint8_t, CUpgradeFrameBuilder::kTransmitPage> CUpgradeTransfer::Page(std::size_t page) const {
  return CUpgradeFrameBuilder::Page(m_frame, page);
}
