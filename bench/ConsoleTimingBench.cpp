// Benchmark: the console tick's timing on its real periodic thread, idle and with every core busy,
// with the program's CPU use while the console is open.
//
//   bench_ConsoleTimingBench [SECONDS] [idle|loaded|both]
//
// The tick asks for real-time scheduling; to see it refused, run the bench as a user without a
// real-time limit, e.g. setpriv --reuid=nobody --regid=nogroup --clear-groups bench_ConsoleTimingBench.
// Opens the console as the launcher does, on the script host in real time, on the virtual
// interface, for SECONDS (60 unless given), and reads the frames' times back from the line.
#include "base/RealtimeScheduling.h"
#include "console/ConsoleDlg.h"
#include "framework/ScriptHost.h"
#include "link/DmxLine.h"
#include "link/DmxLink.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr double kPeriodMs = 25.0;
constexpr std::size_t kIntervalTicks = 2000;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Busy processes, one per core, so the load does not count as this program's CPU time.
std::vector<pid_t> LoadEveryCore() {
  std::vector<pid_t> children;
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 0; i < cores; ++i) {
    const pid_t child = fork();
    if (child == 0) {
      volatile unsigned long spin = 0;
      for (;;) spin = spin + 1;
    }
    if (child > 0) children.push_back(child);
  }
  return children;
}

void StopLoad(const std::vector<pid_t>& children) {
  for (const pid_t child : children) kill(child, SIGKILL);
  for (const pid_t child : children) waitpid(child, nullptr, 0);
}

// Keeps the time of every frame that reaches it; answers as the virtual interface does.
class CTimedOutput final : public CDmxOutput {
 public:
  bool Answers(int, int) override { return true; }
  void Send(const CDmxFrame& frame) override {
    std::lock_guard lock(m_mutex);
    m_times.push_back(frame.timeUs);
  }
  std::string Name() const override { return "timed"; }
  std::vector<std::int64_t> Times() const {
    std::lock_guard lock(m_mutex);
    return m_times;
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<std::int64_t> m_times;
};

struct CFigures {
  std::size_t frames = 0;
  std::size_t intervals = 0;
  double meanMs = 0, p50Ms = 0, p99Ms = 0, maxMs = 0, minMs = 0;
  std::size_t framesInWindow = 0;  // frames within `seconds` of the tick starting
  double driftMs = 0;              // last frame's time against the first's plus whole periods
  double cpuPercent = 0;
};

double Percentile(std::vector<double> sorted, double p) {
  if (sorted.empty()) return 0;
  const auto index = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(index, sorted.size() - 1)];
}

CFigures Measure(int seconds) {
  CDmxLine line;
  auto output = std::make_unique<CTimedOutput>();
  const CTimedOutput& timed = *output;
  line.SetOutput(std::move(output));

  // A little longer than the window, so the tick due at its very end is not cut off by closing.
  auto script = CScript::Parse("wait " + std::to_string(seconds * 1000 + 100) + "\n", "bench");
  CScriptHost host(std::move(*script), true);
  line.SetClock([&host] { return host.NowUs(); });

  const double cpuBefore = CpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  host.Run([&] {
    line.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
    {
      CConsoleDlg console(line);
      console.DoModal();
    }
    line.DmxLinkStandBy();
  });
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
  const double cpu = CpuSeconds() - cpuBefore;
  const std::vector<std::int64_t> frames = timed.Times();
  line.SetClock({});
  CHost::SetCurrent(nullptr);

  CFigures figures;
  figures.frames = frames.size();
  figures.cpuPercent = 100.0 * cpu / wall;
  if (!frames.empty()) {
    // The tick starts one period before its first frame; half a period of grace at the end.
    const std::int64_t origin = frames.front() - static_cast<std::int64_t>(kPeriodMs * 1000);
    const std::int64_t end =
        origin + static_cast<std::int64_t>(seconds) * 1'000'000 + static_cast<std::int64_t>(kPeriodMs * 500);
    for (const std::int64_t time : frames)
      if (time <= end) ++figures.framesInWindow;
    figures.driftMs = static_cast<double>(frames.back() - frames.front()) / 1000.0 -
                      kPeriodMs * static_cast<double>(frames.size() - 1);
  }
  std::vector<double> intervals;
  for (std::size_t i = 1; i < frames.size() && intervals.size() < kIntervalTicks; ++i)
    intervals.push_back(static_cast<double>(frames[i] - frames[i - 1]) / 1000.0);
  figures.intervals = intervals.size();
  if (!intervals.empty()) {
    figures.meanMs = std::accumulate(intervals.begin(), intervals.end(), 0.0) / static_cast<double>(intervals.size());
    std::sort(intervals.begin(), intervals.end());
    figures.p50Ms = Percentile(intervals, 0.50);
    figures.p99Ms = Percentile(intervals, 0.99);
    figures.maxMs = intervals.back();
    figures.minMs = intervals.front();
  }
  return figures;
}

void Report(const char* name, int seconds, const CFigures& f) {
  const double ideal = seconds * 1000.0 / kPeriodMs;
  std::printf("%s\n", name);
  std::printf("  intervals over %zu ticks: mean %.3f ms, p50 %.3f ms, p99 %.3f ms, min %.3f ms, max %.3f ms\n",
              f.intervals, f.meanMs, f.p50Ms, f.p99Ms, f.minMs, f.maxMs);
  std::printf("  frames within %d s of the tick starting: %zu (ideal %.0f, off by %+.0f)\n", seconds, f.framesInWindow,
              ideal, static_cast<double>(f.framesInWindow) - ideal);
  std::printf("  drift over all %zu frames: %+.3f ms\n", f.frames, f.driftMs);
  std::printf("  CPU of the program with the console open: %.2f %% of a core\n", f.cpuPercent);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  const std::string mode = argc > 2 ? argv[2] : "both";
  bool realtime = false;  // what the tick's thread will be given, asked the same way
  std::thread([&] { realtime = RequestRealtimeScheduling(); }).join();
  std::printf("real-time scheduling for the tick: %s\n", realtime ? "granted (SCHED_FIFO)" : "refused (SCHED_OTHER)");
  if (mode == "idle" || mode == "both") Report("idle", seconds, Measure(seconds));
  if (mode == "loaded" || mode == "both") {
    const std::vector<pid_t> load = LoadEveryCore();
    const CFigures figures = Measure(seconds);
    StopLoad(load);
    Report(("every core busy (" + std::to_string(load.size()) + " spinning processes)").c_str(), seconds, figures);
  }
  return 0;
}
