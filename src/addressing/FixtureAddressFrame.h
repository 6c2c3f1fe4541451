// Manual addressing's output frame: the saved fixture addresses, the selection and its flag, the waiting phase.
#pragma once
#include "link/DmxFrame.h"

#include <array>
#include <cstdint>
#include <optional>

// What one timer tick sends, in the order the dialog makes the calls.
struct CAddressingTick {
  // Waiting phase: the progress position to show (0 at the first tick, 199 at the last); -1 after it.
  int progress = -1;
  // The waiting phase's last tick: fixture 1's flag is set and the frame switches to the
  // addressing start code before this tick's start.
  bool beginsAddressing = false;
  // Addressing phase: the old flag's channel, to be cleared before the start; -1 if the flag stays.
  int clearFlagChannel = -1;
  // Addressing phase: the channel set to 255 with the start; -1 in the waiting phase.
  int flagChannel = -1;
};

// The two channel values a save hands to the line.
struct CSavedAddress {
  int channel = 0;  // the high byte's channel index; the low byte goes to channel + 1
  std::uint8_t high = 0;
  std::uint8_t low = 0;
};

class CFixtureAddressFrame final {
 public:
  static constexpr int kWaitingStartCode = 0xFE;
  static constexpr int kAddressingStartCode = 0xFD;
  static constexpr int kFrameLength = 512;
  static constexpr int kFixtureCount = 170;
  static constexpr int kWaitingTicks = 200;
  static constexpr std::uint8_t kFlagOn = 255;

  // Channel indexes (slot - 1) of fixture index k's triple (k = fixture number - 1).
  static constexpr int AddressChannel(int fixture) { return 3 * fixture; }
  static constexpr int FlagChannel(int fixture) { return 3 * fixture + 2; }

  // All slots zero, no address saved, the waiting phase ahead, fixture index 0 chosen.
  CFixtureAddressFrame() = default;
  CFixtureAddressFrame(const CFixtureAddressFrame&) = delete;
  CFixtureAddressFrame& operator=(const CFixtureAddressFrame&) = delete;

  // Transmit page 0 to 3 (slots 1, 143, 285 and 427 onward), 142 bytes each.
  const std::uint8_t* Page(int page) const;

  CAddressingTick Tick();

  // Fixture indexes 0 to 169.
  int Selected() const { return m_selected; }
  int Flagged() const { return m_flagged; }
  void Select(int fixture);

  // Records an address of 1 to 512 for the selected fixture, carried unchanged (512 as 2, 0).
  CSavedAddress Save(std::uint32_t address);
  std::optional<int> SavedAddress(int fixture) const;

 private:
  std::array<std::uint8_t, kImageSize> m_frame{};
  int m_waitingLeft = kWaitingTicks;
  int m_selected = 0;
  int m_flagged = 0;
};
