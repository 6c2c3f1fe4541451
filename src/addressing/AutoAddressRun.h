// One automatic addressing run: the first-address frame's two slots and the starts still to make.
#pragma once
#include <array>
#include <cstdint>

class CAutoAddressRun final {
 public:
  static constexpr int kStartCode = 0xFC;
  static constexpr int kFrameLength = 2;
  static constexpr int kStarts = 255;  // frames per run

  // Slots 1 and 2 of the first-address frame for a first address of 1 to 512: the address
  // minus one as a 9-bit number, high byte first.
  static std::array<std::uint8_t, kFrameLength> FrameSlots(std::uint32_t firstAddress);

  CAutoAddressRun() = default;
  CAutoAddressRun(const CAutoAddressRun&) = delete;
  CAutoAddressRun& operator=(const CAutoAddressRun&) = delete;

  void Begin() { m_left = kStarts; }
  bool IsRunning() const { return m_left > 0; }
  // Counts one start made; true when it was the run's last.
  bool CountStart();
  // Starts made in the current run (0 while idle).
  int StartsMade() const { return m_left > 0 ? kStarts - m_left : 0; }

 private:
  std::uint8_t m_left = 0;  // 0: idle
};
