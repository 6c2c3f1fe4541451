// Benchmark: the console tick's cost at rest, during a run with crossfades, and per fade rebuild.
#include <chrono>
#include <cstdio>
#include <memory>

#include "console/ConsoleEngine.h"
#include "link/DmxLine.h"

namespace {

template <class Work>
double NanosecondsEach(long count, Work work) {
  const auto start = std::chrono::steady_clock::now();
  for (long i = 0; i < count; ++i) {
    work(i);
  }
  const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
  return spent.count() / static_cast<double>(count);
}

}  // namespace

int main() {
  constexpr long kTicks = 2'000'000;
  // A line standing by: each tick's page call is made and copied, nothing is sent on.
  CDmxLine line;
  auto data = std::make_unique<CConsoleData>();
  CConsoleEngine engine(line, *data);

  const double atRest = NanosecondsEach(kTicks, [&](long i) {
    engine.SetLevel(static_cast<int>(i % 142), static_cast<std::uint8_t>(i));
    engine.Tick();
  });

  // 255 steps of changing levels, a step every 5 ticks, each fade 40 ticks long.
  for (int s = 0; s < 255; ++s) {
    for (int c = 0; c < static_cast<int>(kStepSize); ++c) {
      engine.SetLevel(c, static_cast<std::uint8_t>(s * 37 + c * 11));
    }
    engine.AddOrOverwrite();
  }
  engine.SetSpeed(0);
  engine.SetFade(10);
  engine.RunOrStop();
  long moves = 0;
  engine.OnStepChanged([&moves] { ++moves; });
  const double running = NanosecondsEach(kTicks, [&](long) { engine.Tick(); });

  std::printf("console tick at rest:            %8.1f ns\n", atRest);
  std::printf("console tick running, fading:    %8.1f ns (%ld step changes)\n", running, moves);
  std::printf("period available:             25000000.0 ns\n");
  return 0;
}
