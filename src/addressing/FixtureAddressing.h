// Manual addressing's engine: the waiting phase, then the addressing frame with one flagged fixture and the saved addresses.
#pragma once
#include "addressing/AddressRange.h"
#include "link/DmxLink.h"
#include "link/WaitingPhase.h"

#include <array>
#include <cstdint>
#include <optional>

// Fixture number n (1 to 170) owns slots 3n - 2 to 3n of the addressing frame: its saved
// address (high byte, low byte; 0, 0 if none) and its select flag. Pages are handed over once,
// blank, by the waiting phase; every later change goes to the line by a channel call.
class CFixtureAddressing final {
 public:
  static constexpr int kStartCode = 0xFD;
  static constexpr int kFixtureCount = kMaxFixtureNumber;
  static constexpr int kFlagOn = 255;

  // Hands the blank frame over and sets the waiting mode.
  explicit CFixtureAddressing(CDmxLink& link);
  CFixtureAddressing(const CFixtureAddressing&) = delete;
  CFixtureAddressing& operator=(const CFixtureAddressing&) = delete;

  // One 25 ms tick. Waiting: a blank frame; the 200th flags fixture 1 and switches to the
  // addressing mode. Then each tick moves the flag to the selected fixture (clearing the old
  // one first, so no frame carries two) and starts the frame.
  void Tick();
  // The tool closes: the line stands by.
  void Close();

  bool IsWaiting() const { return m_waiting.IsWaiting(); }
  int WaitingProgress() const { return m_waiting.Progress(); }

  // Fixture numbers 1 to 170. The selection is what the controls show; the flag follows it at
  // the next tick.
  void Select(int fixture);
  int Selected() const { return m_selected; }
  int Flagged() const { return m_flagged; }

  // Saves an address of 1 to 512 for the selected fixture; it travels unchanged (512 as 2, 0).
  void Save(std::uint32_t address);
  std::optional<int> SavedAddress(int fixture) const;

 private:
  // Channel indexes (slot - 1) of a fixture's triple.
  static int AddressChannel(int fixture) { return 3 * (fixture - 1); }
  static int FlagChannel(int fixture) { return 3 * (fixture - 1) + 2; }
  void BeginAddressing();

  CDmxLink& m_link;
  std::array<std::uint16_t, kFixtureCount> m_saved{};  // 0: none saved
  int m_selected = 1;
  int m_flagged = 1;
  CWaitingPhase m_waiting;  // last: its construction makes the first calls
};
