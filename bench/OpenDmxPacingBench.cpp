// The open-DMX output on a model of a USB serial chip whose driver takes the time the Linux
// USB-serial drivers take: does one 512-slot command frame a 25 ms tick keep pace for ten minutes?
// Time is the model's own, so ten minutes take well under a second.
#include "link/DmxLine.h"
#include "outputs/OutputFactory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A USB serial chip as drivers/usb/serial (ftdi_sio.c, generic.c, ch341.c) and tty_io.c drive it:
// - every request to the chip is a USB control transfer (here 0.75 ms);
// - TIOCSBRK and tcdrain first wait until the chip's transmitter is empty, polling it with a
//   control transfer and sleeping a jiffy (4 ms at HZ=250) between polls: an empty chip costs
//   one poll, so a break ioctl costs 1.5 ms; a busy one up to 4 ms more (the drain slack);
// - TIOCCBRK sends its request without waiting; bytes written go out at the line's speed;
// - a CH34x chip without a break register (`simulatedBreak`) holds a break 239 ms (a zero byte at
//   46 baud and 11 bit times), and its driver cannot ask the chip whether it is empty: waits end
//   once the bytes have reached the chip (one transfer).
class CSlowUsbTty final : public CTtyControl {
 public:
  static constexpr auto kTransfer = 750us;
  static constexpr auto kJiffy = 4ms;

  explicit CSlowUsbTty(bool simulatedBreak) : m_simulatedBreak(simulatedBreak) {}

  std::expected<int, std::error_code> Open(const std::string&) override { return 0; }
  void Close(int) override {}
  std::expected<void, std::error_code> Configure(int, const CTtySettings& settings) override {
    std::lock_guard lock(m_mutex);
    m_byteTime = std::chrono::microseconds((1 + 8 + settings.stopBits) * 1'000'000 / settings.baud);
    Spend(2 * kTransfer);  // speed, then line settings
    return {};
  }
  std::expected<void, std::error_code> SetBreak(int, bool on) override {
    std::lock_guard lock(m_mutex);
    if (on) {
      WaitUntilSent();
      m_breakOn = m_now;
    } else if (m_simulatedBreak) {
      m_now = std::max(m_now, m_breakOn + 239ms);
    }
    Spend(kTransfer);
    return {};
  }
  std::expected<std::size_t, std::error_code> Write(int, std::span<const std::uint8_t> bytes) override {
    std::lock_guard lock(m_mutex);
    m_wireEmpty = std::max(m_wireEmpty, m_now) + m_byteTime * static_cast<int>(bytes.size());
    if (bytes.size() > 1) m_frameWrites.push_back(m_now);
    m_idle = false;
    return bytes.size();
  }
  std::expected<void, std::error_code> Drain(int) override {
    std::lock_guard lock(m_mutex);
    WaitUntilSent();
    return {};
  }
  std::expected<CTtyRs485, std::error_code> GetRs485(int) override {
    return std::unexpected(std::make_error_code(std::errc::inappropriate_io_control_operation));
  }
  std::expected<void, std::error_code> SetRs485(int, const CTtyRs485&) override { return {}; }
  std::expected<void, std::error_code> SetRts(int, bool) override { return {}; }
  std::expected<std::size_t, std::error_code> Read(int, std::span<std::uint8_t>) override {
    return std::unexpected(std::make_error_code(std::errc::resource_unavailable_try_again));
  }
  std::expected<bool, std::error_code> Wait(int, EWait, std::chrono::milliseconds) override { return true; }
  Clock::time_point Now() override {
    std::lock_guard lock(m_mutex);
    return m_now;
  }
  // The writer's wait for a frame's wire time is the last thing it does for a frame.
  void WaitUntil(Clock::time_point deadline) override {
    std::lock_guard lock(m_mutex);
    m_now = std::max(m_now, deadline);
    m_idle = m_now >= m_wireEmpty;
  }

  // Frames whose bytes went to the chip, and whether the writer has finished with the last one.
  std::pair<long, bool> Progress() {
    std::lock_guard lock(m_mutex);
    return {static_cast<long>(m_frameWrites.size()), m_idle};
  }
  // When each frame's bytes went to the chip.
  std::vector<Clock::time_point> FrameWrites() {
    std::lock_guard lock(m_mutex);
    return m_frameWrites;
  }
  // Moves the time on while the writer has nothing to do.
  void IdleUntil(Clock::time_point time) {
    std::lock_guard lock(m_mutex);
    m_now = std::max(m_now, time);
  }

 private:
  void Spend(Clock::duration time) { m_now += time; }
  void WaitUntilSent() {
    for (Spend(kTransfer); m_now < m_wireEmpty && !m_simulatedBreak; Spend(kTransfer)) m_now += kJiffy;
  }

  std::mutex m_mutex;
  bool m_simulatedBreak;
  Clock::time_point m_now{1h}, m_wireEmpty{}, m_breakOn{};
  Clock::duration m_byteTime = 44us;
  std::vector<Clock::time_point> m_frameWrites;
  bool m_idle = true;
};

std::unique_ptr<CDmxOutput> Open(std::shared_ptr<CSlowUsbTty> tty) {
  auto output = MakeOutput("opendmx:/dev/ttyUSB0", tty);
  if (!output) {
    std::fprintf(stderr, "%s\n", output.error().message.c_str());
    std::exit(1);
  }
  return std::move(*output);
}

// One 512-slot command frame every 25 ms, as the fixture panel starts them, for `ticks` ticks.
void Ticks(bool simulatedBreak, int ticks) {
  auto tty = std::make_shared<CSlowUsbTty>(simulatedBreak);
  CDmxLine line;
  line.SetOutput(Open(tty));
  line.DmxLinkSetMode(kLinkMark, 0xF6, 9, 512);
  const auto start = tty->Now();
  long maxQueued = 0;
  for (long tick = 0; tick < ticks; ++tick) {
    const auto due = start + tick * 25ms;
    for (;;) {  // the writer works in the model's time; the tick comes when that time has come
      const auto [started, idle] = tty->Progress();
      if (tty->Now() >= due) break;
      if (idle && started == tick) {
        tty->IdleUntil(due);
        break;
      }
      std::this_thread::yield();
    }
    line.DmxLinkTransmitStartWithChannelValue(0, static_cast<int>(tick & 0xFF));
  }
  line.Flush(60s);
  // The writer's time runs ahead of a tick that it is late for, so frames are counted as queued
  // from their tick until their bytes go to the chip.
  const std::vector<Clock::time_point> writes = tty->FrameWrites();
  for (long tick = 0; tick < ticks; ++tick) {
    const long written = std::upper_bound(writes.begin(), writes.end(), start + tick * 25ms) - writes.begin();
    maxQueued = std::max(maxQueued, tick + 1 - written);
  }
  const double lateMs = std::chrono::duration<double, std::milli>(tty->Now() - (start + (ticks - 1) * 25ms)).count();
  std::printf("%s: %d ticks of 25 ms (%.0f s): at most %ld frames queued; the last frame done %.2f ms after its tick\n",
              simulatedBreak ? "simulated-break chip" : "FTDI-like chip     ", ticks, ticks * 0.025, maxQueued, lateMs);
}

// Frames given all at once: how long each takes on the wire model.
void Backlog(bool simulatedBreak, int slots, int frames) {
  auto tty = std::make_shared<CSlowUsbTty>(simulatedBreak);
  CDmxLine line;
  line.SetOutput(Open(tty));
  line.DmxLinkSetMode(kLinkMark, 0xFC, 0, slots);
  const auto start = tty->Now();
  for (int i = 0; i < frames; ++i) line.DmxLinkTransmitStart();
  line.Flush(60s);
  const double perFrame = std::chrono::duration<double, std::milli>(tty->Now() - start).count() / frames;
  std::printf("%s: %3d-slot frames back to back: %.3f ms a frame (wire alone: %.3f ms)\n",
              simulatedBreak ? "simulated-break chip" : "FTDI-like chip     ", slots, perFrame,
              0.044 * (slots + 1) + 0.136);
}

}  // namespace

int main() {
  std::printf("Open-DMX on a model of a USB serial chip (0.75 ms a control transfer, 4 ms jiffies)\n");
  Backlog(false, 512, 200);
  Backlog(false, 2, 200);
  Backlog(true, 512, 200);
  Ticks(false, 24000);
  Ticks(true, 24000);
  return 0;
}
