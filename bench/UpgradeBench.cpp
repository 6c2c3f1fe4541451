// Benchmark: checking a 16 MiB upgrade file and building every frame of its transfer; time and peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeTransfer.h"
#include "link/DmxLink.h"
#include "link/LineConstants.h"

namespace {

constexpr std::size_t kFileSize = 16u << 20;

double PeakRssMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB on Linux
}

void PutLe(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A line that only keeps its frame image, copying each page at the call as the real one does, and
// counts the frames handed over.
class CImageLink final : public CDmxLink {
 public:
  std::int64_t FramesHandedOver() const { return m_frames; }
  const std::array<std::uint8_t, kImageSize>& Image() const { return m_image; }

  std::int32_t DmxLinkOpen(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkSetMode(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkTransmitSetPageValue(std::int32_t page, const std::uint8_t* data) override {
    std::copy_n(data, kPageSize, m_image.begin() + kPageSize * page);
    m_frames += page == kPageCount - 1;
    return 0;
  }
  std::int32_t DmxLinkTransmitSetChannelValue(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkTransmitStart() override { return 0; }
  std::int32_t DmxLinkTransmitStartWithPageValue(std::int32_t, const std::uint8_t*) override { return 0; }
  std::int32_t DmxLinkTransmitStartWithChannelValue(std::int32_t, std::int32_t) override { return 0; }
  std::int32_t DmxLinkStandBy() override { return 0; }
  std::string LastError() const override { return {}; }

 private:
  std::array<std::uint8_t, kImageSize> m_image{};
  std::int64_t m_frames = 0;
};

// An upgrade file of exactly kFileSize bytes: blocks of up to `blockData` bytes sent in 512-byte chunks.
std::vector<std::uint8_t> MakeImage(std::size_t blockData) {
  constexpr std::string_view kText = "Zelkar product firmware upgrade file";
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kFileSize);
  bytes.assign(kText.begin(), kText.end());
  for (const std::uint8_t b : {0x00, 0x0A, 0x01, 0x02, 0x03}) bytes.push_back(b);
  std::uint32_t seed = 1;
  while (bytes.size() < kFileSize) {
    const std::size_t room = kFileSize - bytes.size();
    // Room for less than a header after this block would leave bytes over: take them into this one.
    std::size_t length = std::min(blockData, room - 13);
    if (room - 13 - length < 13) length = room - 13;
    bytes.push_back(0x10);
    bytes.push_back(0x20);
    PutLe(bytes, static_cast<std::uint32_t>(length), 4);
    PutLe(bytes, 512, 2);
    bytes.push_back(0);
    PutLe(bytes, seed, 4);
    for (std::size_t i = 0; i < length; ++i) {
      seed = seed * 1103515245u + 12345u;
      bytes.push_back(static_cast<std::uint8_t>(seed >> 16));
    }
  }
  return bytes;
}

// Checks the image and builds every frame of its transfer, ticking the engine as the 35 ms timer
// would; returns the number of upgrade frames built.
std::int64_t CheckAndSend(std::vector<std::uint8_t> bytes) {
  auto file = CUpgradeFile::Parse(std::move(bytes));
  if (!file) {
    std::fprintf(stderr, "%s\n", file.error().message.c_str());
    return -1;
  }
  CImageLink link;
  CUpgradeTransfer transfer(link);
  transfer.Open();
  transfer.Start(std::move(*file));
  while (transfer.State() == CUpgradeTransfer::EState::Transferring) transfer.Tick();
  benchmark::DoNotOptimize(link.Image());
  return link.FramesHandedOver() - 2;  // not the idle frames before and after
}

// Peak memory is a high-water mark of the whole process, so it is measured once per layout, before
// the timed runs, in order of growing need.
void ReportMemory(std::size_t blockData, const char* layout) {
  const double before = PeakRssMiB();
  auto bytes = MakeImage(blockData);
  const double withImage = PeakRssMiB();
  const std::int64_t frames = CheckAndSend(std::move(bytes));
  const double after = PeakRssMiB();
  std::printf("memory, %s: peak RSS %.1f MiB before, %.1f MiB with the 16 MiB image made, %.1f MiB after checking it"
              " and building all %lld frames (%.2f MiB beyond the image)\n",
              layout, before, withImage, after, static_cast<long long>(frames), after - withImage);
  std::fflush(stdout);
}

// Check only.
void BM_CheckUpgradeFile(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto bytes = MakeImage(static_cast<std::size_t>(state.range(0)));
    state.ResumeTiming();
    auto file = CUpgradeFile::Parse(std::move(bytes));
    if (!file) state.SkipWithError(file.error().message.c_str());
    benchmark::DoNotOptimize(file);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}

// Check, then build every frame of the transfer.
void BM_CheckAndBuildAllFrames(benchmark::State& state) {
  std::int64_t frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto bytes = MakeImage(static_cast<std::size_t>(state.range(0)));
    state.ResumeTiming();
    frames = CheckAndSend(std::move(bytes));
    if (frames < 0) state.SkipWithError("image refused");
  }
  state.counters["frames"] = static_cast<double>(frames);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}

}  // namespace

// 64 KiB blocks (a plausible firmware layout), and blocks without data: the most blocks a file can
// hold (1.3 million; days of ticks on the line, so only checked in the timed runs).
// Each iteration makes its image untimed, so the iteration counts are fixed.
BENCHMARK(BM_CheckUpgradeFile)->Arg(64 << 10)->Arg(0)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckAndBuildAllFrames)->Arg(64 << 10)->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  ReportMemory(64 << 10, "64 KiB blocks");
  ReportMemory(0, "empty 13-byte blocks");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
