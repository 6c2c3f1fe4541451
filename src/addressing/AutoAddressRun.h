// Automatic addressing's engine: the first-address frame sent once per tick, 255 times.
#pragma once
#include "link/DmxLink.h"

#include <cstdint>

enum class EAutoAddressState {
  Idle,      // nothing is sent; Setup may start a run
  Running,   // one start per tick
  Finished,  // all starts made; waiting for the finish message to be dismissed
};

class CAutoAddressRun final {
 public:
  static constexpr int kStartCode = 0xFC;
  static constexpr int kFrameLength = 2;
  static constexpr int kStarts = 255;  // frames per run

  explicit CAutoAddressRun(CDmxLink& link) : m_link(link) {}
  CAutoAddressRun(const CAutoAddressRun&) = delete;
  CAutoAddressRun& operator=(const CAutoAddressRun&) = delete;

  // Idle only. Sets the frame's two slots to the first address (1 to 512) minus one, high byte
  // first, sets the first-address mode and starts a run.
  void Setup(std::uint32_t firstAddress);
  // Running: one start; the 255th finishes the run. Otherwise nothing.
  void Tick();
  // The finish message was dismissed: the line stands by and the run is over.
  void FinishAcknowledged();
  // The tool closes: the line stands by, whatever the state; nothing more is sent.
  void Close();

  EAutoAddressState State() const { return m_state; }
  // Starts made in the current run: 0 to 255; 0 while idle.
  int StartsMade() const { return m_startsMade; }

 private:
  CDmxLink& m_link;
  EAutoAddressState m_state = EAutoAddressState::Idle;
  int m_startsMade = 0;
};
