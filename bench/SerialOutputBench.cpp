// Frame rate of the serial writers and the time a caller's start takes, on a pseudo-terminal.
#include "link/DmxLine.h"
#include "outputs/OutputFactory.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The adapter's end of a pty, read continuously so the writer never waits on a full buffer.
class CPtySink {
 public:
  CPtySink() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
      std::fprintf(stderr, "no pseudo-terminal\n");
      std::exit(1);
    }
    m_path = ::ptsname(m_master);
    m_reader = std::thread([this] {
      std::uint8_t buffer[8192];
      while (!m_stop) {
        pollfd wait{m_master, POLLIN, 0};
        if (::poll(&wait, 1, 10) > 0 && (wait.revents & POLLIN)) {
          const ssize_t n = ::read(m_master, buffer, sizeof buffer);
          if (n > 0) m_bytes += static_cast<std::uint64_t>(n);
        }
      }
    });
  }
  ~CPtySink() {
    m_stop = true;
    m_reader.join();
    ::close(m_master);
  }
  const std::string& Path() const { return m_path; }
  std::uint64_t Bytes() const { return m_bytes; }

 private:
  int m_master = -1;
  std::string m_path;
  std::atomic<bool> m_stop{false};
  std::atomic<std::uint64_t> m_bytes{0};
  std::thread m_reader;
};

struct CPercentiles {
  double p50, p99, max;
};

CPercentiles Percentiles(std::vector<double> us) {
  std::sort(us.begin(), us.end());
  auto at = [&](double q) { return us[std::min(us.size() - 1, static_cast<std::size_t>(q * us.size()))]; };
  return {at(0.50), at(0.99), us.back()};
}

std::unique_ptr<CDmxOutput> Open(const std::string& name) {
  auto output = MakeOutput(name);
  if (!output) {
    std::fprintf(stderr, "%s\n", output.error().message.c_str());
    std::exit(1);
  }
  return std::move(*output);
}

// Command frames given all at once (none coalesced): the rate the writer keeps when paced by wire time.
void CommandRate(int length, int frames, double limitMs) {
  CPtySink sink;
  CDmxLine line;
  line.SetOutput(Open("opendmx:" + sink.Path()));
  line.DmxLinkSetMode(kLinkMark, length == 559 ? 0xF9 : 0xFE, 0, length);
  std::vector<double> startUs;
  const auto begin = Clock::now();
  for (int i = 0; i < frames; ++i) {
    const auto t0 = Clock::now();
    line.DmxLinkTransmitStartWithChannelValue(0, i);
    startUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
  }
  line.Flush(60s);
  const double totalMs = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
  const double perFrame = totalMs / frames;
  const auto calls = Percentiles(startUs);
  std::printf("open-DMX %3d slots, %d command frames at once: %.3f ms a frame (%.2f frames/s); physical limit "
              "%.1f ms (%.2f frames/s): %.2f %% above; bytes %llu\n",
              length, frames, perFrame, 1000.0 / perFrame, limitMs, 1000.0 / limitMs, 100.0 * (perFrame / limitMs - 1),
              static_cast<unsigned long long>(sink.Bytes()));
  std::printf("    start call during the burst: p50 %.1f us, p99 %.1f us, max %.1f us\n", calls.p50, calls.p99,
              calls.max);
}

// Level frames at a steady tick, faster or slower than the wire: frames on the wire and call times.
void LevelTicks(std::unique_ptr<CDmxOutput> output, const CPtySink& sink, std::size_t frameBytes, const char* what,
                int length, std::chrono::microseconds tick, std::chrono::milliseconds run) {
  CDmxLine line;
  line.SetOutput(std::move(output));
  line.DmxLinkSetMode(kLinkMark, 0x00, 0, length);
  std::vector<double> startUs;
  const auto begin = Clock::now();
  auto next = begin;
  int value = 0;
  while (Clock::now() - begin < run) {
    const auto t0 = Clock::now();
    line.DmxLinkTransmitStartWithChannelValue(0, ++value);
    startUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    next += tick;
    std::this_thread::sleep_until(next);
  }
  line.Flush(5s);
  const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  const auto calls = Percentiles(startUs);
  const double onWire = static_cast<double>(sink.Bytes()) / static_cast<double>(frameBytes);
  std::printf("%s %3d-slot level frames every %lld us for %.1f s: %zu starts, %.0f frames on the wire (%.1f/s); "
              "start call p50 %.1f us, p99 %.1f us, max %.1f us\n",
              what, length, static_cast<long long>(tick.count()), seconds, startUs.size(), onWire, onWire / seconds,
              calls.p50, calls.p99, calls.max);
}

}  // namespace

int main() {
  std::printf("Serial writers on a pseudo-terminal at 250000 baud (paced by wire time)\n");
  CommandRate(512, 200, 22.7);
  CommandRate(559, 200, 24.8);
  CommandRate(2, 1000, 0.268);  // 3 bytes: 132 us plus break and mark
  {
    CPtySink sink;
    LevelTicks(Open("opendmx:" + sink.Path()), sink, 513, "open-DMX", 512, 1000us, 3000ms);
  }
  {
    CPtySink sink;
    LevelTicks(Open("opendmx:" + sink.Path()), sink, 513, "open-DMX", 512, 25000us, 3000ms);
  }
  {
    CPtySink sink;
    LevelTicks(Open("pro:" + sink.Path()), sink, 518, "Pro     ", 512, 1000us, 3000ms);
  }
  return 0;
}
