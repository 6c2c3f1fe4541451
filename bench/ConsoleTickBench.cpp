// Benchmark: the console tick's cost at rest, during a run with crossfades, and per fade rebuild.
#include <chrono>
#include <cstdio>
#include <memory>

#include "console/ConsoleData.h"

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
  auto data = std::make_unique<CConsoleData>();
  data->StartConsole();

  const double atRest = NanosecondsEach(kTicks, [&](long i) {
    data->SetLevel(static_cast<std::size_t>(i % 142), static_cast<std::uint8_t>(i));
    data->Tick();
  });

  // 255 steps of changing levels, a step every 5 ticks, each fade 40 ticks long.
  for (int s = 0; s < 255; ++s) {
    for (std::size_t c = 0; c < kStepSize; ++c) {
      data->Screen()[c] = static_cast<std::uint8_t>(s * 37 + c * 11);
    }
    data->Store().AddOrOverwrite();
  }
  data->Player().SetSpeed(0);
  data->Player().SetFade(10);
  data->RunOrStop();
  long moves = 0;
  const double running = NanosecondsEach(kTicks, [&](long) { moves += data->Tick() ? 1 : 0; });

  std::printf("console tick at rest:            %8.1f ns\n", atRest);
  std::printf("console tick running, fading:    %8.1f ns (%ld step changes)\n", running, moves);
  std::printf("period available:             25000000.0 ns\n");
  return 0;
}
