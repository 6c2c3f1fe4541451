// The program's own Pro output on a pseudo-terminal, a model of the widget at the other end.
#include "Scenario.h"
#include "support/ProWidgetModel.h"

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <regex>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

TEST(ProWidgetScenario, StandByStopsTheWidgetAndShortFramesArePadded) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
  const std::string device = ::ptsname(master);
  const int keepOpen = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);  // no hang-up between users
  CProWidgetModel widget;
  std::atomic<bool> done{false};
  std::thread port([&] {
    for (pollfd wait{master, POLLIN, 0}; !done;) {
      std::uint8_t buffer[4096];
      const ssize_t got = ::poll(&wait, 1, 10) > 0 ? ::read(master, buffer, sizeof buffer) : 0;
      const auto replies = widget.Receive({buffer, buffer + std::max<ssize_t>(got, 0)}, CProWidgetModel::Clock::now());
      if (!replies.empty()) {
        EXPECT_EQ(::write(master, replies.data(), replies.size()), ssize_t(replies.size()));
      }
    }
  });
  const CScenarioRun run = RunScenario("pro-widget.vxs", "pro:" + device, "--realtime");
  done = true;
  port.join();
  ::close(keepOpen);
  ::close(master);
  EXPECT_EQ(run.exitCode, 0) << run.errors;

  // Asked for its rate, stopped at open, at each stand-by and nowhere else; every message taken.
  std::string labels;
  for (const int label : widget.labels) labels += label == 6 ? "6" : std::to_string(label) + " ";
  EXPECT_TRUE(std::regex_match(labels, std::regex("3 8 6+8 6+8 "))) << labels;  // console, then addressing
  EXPECT_EQ(widget.rejected, 0) << "short frames padded";  // what reaches the widget's wire: ProOutputTest
}
