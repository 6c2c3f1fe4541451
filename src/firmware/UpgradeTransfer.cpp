// The upgrade transfer's block walk, hold schedule and calls on the line.
#include "firmware/UpgradeTransfer.h"

#include <algorithm>
#include <cassert>

CUpgradeTransfer::CUpgradeTransfer(CDmxLink& link) : m_link(link) {}

void CUpgradeTransfer::Open() {
  if (m_link.DmxLinkSetMode(kLinkMark, kStartCode, kInterval, CUpgradeFrameBuilder::kFrameLength) != 0)
    m_lineRefusal = m_link.LastError();
  BuildIdleFrame();
}

void CUpgradeTransfer::Start(CUpgradeFile file) {
  assert(!m_lineRefusal && file.BlockCount() > 0);  // a parsed file always holds a block
  // Replacing the image releases the one of a running transfer.
  m_file = std::make_unique<const CUpgradeFile>(std::move(file));
  m_state = EState::Transferring;
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
  HandOverPages(m_link, m_frame.data());
  m_chunkOffset += n;
  m_bytesLeftInBlock -= n;
  m_bytesSent += n;
  m_blockEndSent = false;
}

void CUpgradeTransfer::BuildBlockEndFrame() {
  m_builder.BuildBlockEnd(m_frame, m_block.tag, m_block.length, m_block.word);
  HandOverPages(m_link, m_frame.data());
  m_blockEndSent = true;
}

void CUpgradeTransfer::BuildIdleFrame() {
  CUpgradeFrameBuilder::BuildIdle(m_frame);
  HandOverPages(m_link, m_frame.data());
}

void CUpgradeTransfer::Hold(int ticks) { m_holdCountdown = m_frameHold = ticks; }

void CUpgradeTransfer::Tick() {
  if (m_state != EState::Transferring) {
    m_link.DmxLinkTransmitStart();
    return;
  }
  if (--m_holdCountdown == 0) {
    Hold(m_holdTicks);
    NextFrame();
    return;  // nothing is sent on the tick that changes the frame
  }
  if (m_holdCountdown > 0 && m_holdCountdown <= m_frameHold - kQuietTicks) m_link.DmxLinkTransmitStart();
}

void CUpgradeTransfer::NextFrame() {
  if (m_bytesLeftInBlock != 0) {
    BuildDataFrame();
  } else if (!m_blockEndSent) {
    BuildBlockEndFrame();
  } else if (m_nextBlock < m_file->BlockCount()) {
    // Blocks of length 0 count too, the last ones included: each gets its data and block end frame.
    StartBlock();
  } else {
    m_file.reset();
    m_state = EState::Finished;
    BuildIdleFrame();
  }
}

void CUpgradeTransfer::SetSpeed(int position) {
  m_holdTicks = std::clamp(position, kMinSpeed, kMaxSpeed) + kQuietTicks;
  m_holdCountdown = std::min(m_holdCountdown, m_holdTicks);
}

void CUpgradeTransfer::Close() {
  if (m_closed) return;
  m_closed = true;
  m_file.reset();
  m_state = EState::Idle;
  m_link.DmxLinkStandBy();
}
