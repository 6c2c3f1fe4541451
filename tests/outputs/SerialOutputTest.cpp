// What every serial output shares: a writer thread, Flush's limit, stopping, and a device that fails.
#include "base/RealtimeScheduling.h"
#include "outputs/OutputFactory.h"

#include "FakeTty.h"

#include <gtest/gtest.h>
#include <sched.h>

using namespace std::chrono_literals;

TEST(ThreadedSerialOutput, AFailingWriteIsReportedOnceFromTheWriterAndEndsAllOutput) {
  auto tty = std::make_shared<CFakeTty>();
  tty->Setup("/dev/ttyUSB0").writeBudget = 2 * 513 + 100;  // the third frame fails part way, as when a cable is pulled
  tty->Setup("/dev/ttyUSB1").writeBudget = 7 + 6;  // the widget's requests at open, then nothing
  auto output = MakeOutput("opendmx:/dev/ttyUSB0", tty);
  auto early = MakeOutput("pro:/dev/ttyUSB1", tty);
  ASSERT_TRUE(output && early);
  std::vector<std::pair<std::string, std::thread::id>> reports;  // read once the writers are gone
  int reportingPolicy = -1;  // the writer's scheduling class
  const auto report = [&](const CError& error) {
    reports.emplace_back(error.message, std::this_thread::get_id());
    reportingPolicy = sched_getscheduler(0);
  };
  (*output)->SetFaultHandler(report);
  for (int i = 0; i < 5; ++i) (*output)->Send(CDmxFrame{0, 0xFE, 0, Bytes(512, static_cast<std::uint8_t>(i))});
  (*output)->Flush(10s);
  const auto events = tty->Events("/dev/ttyUSB0");
  EXPECT_EQ(tty->Written("/dev/ttyUSB0").size(), 2u * 513 + 100);
  EXPECT_EQ(tty->Events("/dev/ttyUSB0", CFakeTty::EKind::BreakOn).size(), 1u + 3);  // the break timed at open
  (*output)->Send(CDmxFrame{0, 0xFE, 0, Bytes(512, 9)});
  const auto before = std::chrono::steady_clock::now();
  (*output)->Flush(10s);  // a dead device is not waited for
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  EXPECT_EQ(tty->Events("/dev/ttyUSB0").size(), events.size());  // nothing more was tried
  (*output)->SetFaultHandler(report);
  output->reset();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].first.find("The DMX interface opendmx:/dev/ttyUSB0 stopped working ("), 0u) << reports[0].first;
  EXPECT_NE(reports[0].second, std::this_thread::get_id());
  bool realtimeAllowed = false;
  std::thread([&] { realtimeAllowed = RequestRealtimeScheduling(); }).join();
  EXPECT_EQ(reportingPolicy, realtimeAllowed ? SCHED_FIFO : SCHED_OTHER) << "the writer asks for it where it may";

  // A fault before anyone listened is reported to the first handler, at once and once.
  (*early)->Send(CDmxFrame{0, 0x00, 0, Bytes(512, 0)});
  (*early)->Flush(10s);
  (*early)->SetFaultHandler(report);
  (*early)->SetFaultHandler(report);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1].second, std::this_thread::get_id());
}

TEST(ThreadedSerialOutput, FlushWaitsAtMostItsLimitAndClosingEndsTheFrameOnTheWireAndDropsTheRest) {
  auto tty = std::make_shared<CFakeTty>();
  tty->KeepRealTime();
  auto output = MakeOutput("opendmx:/dev/ttyUSB0", tty);
  ASSERT_TRUE(output) << output.error().message;
  for (int i = 0; i < 100; ++i) (*output)->Send(CDmxFrame{0, 0xF9, 0, Bytes(559, static_cast<std::uint8_t>(i))});  // 2.5 s
  const auto before = std::chrono::steady_clock::now();
  (*output)->Flush(50ms);
  output->reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
  const std::size_t frames = tty->Events("/dev/ttyUSB0", CFakeTty::EKind::BreakOn).size() - 1;  // one at open
  EXPECT_EQ(tty->Written("/dev/ttyUSB0").size(), frames * 560);
  EXPECT_EQ(tty->Events("/dev/ttyUSB0").back().kind, CFakeTty::EKind::Close);  // only once the writer is done
}
