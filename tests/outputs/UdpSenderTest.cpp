// The non-blocking send path: levels dropped and command frames queued when the system is busy,
// faults reported once.
#include "outputs/UdpSender.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;

const std::error_code kBusy = std::make_error_code(std::errc::resource_unavailable_try_again);

}  // namespace

TEST(ThreadedUdpSender, BusySystemDropsLevelsButSendsCommandsInOrderLater) {
  auto network = std::make_shared<CFakeNetwork>();
  CUdpSender sender(std::make_unique<CFakeDatagramSocket>(network), "test");
  sender.Send({1}, true);
  network->SetError(kBusy);
  sender.Send({2}, true);   // a level frame: dropped
  sender.Send({3}, false);  // command frames wait, in order
  sender.Send({4}, true);   // levels behind them wait too, the newest only
  sender.Send({5}, false);
  sender.Send({6}, true);
  sender.Send({7}, true);
  EXPECT_EQ(network->Taken(), (std::vector<Datagram>{{1}}));
  network->SetError({});
  sender.Flush(2s);  // the sender's thread sends them without another Send
  EXPECT_EQ(network->Taken(), (std::vector<Datagram>{{1}, {3}, {4}, {5}, {7}}));
  EXPECT_EQ(sender.DroppedCount(), 2u);
}

TEST(ThreadedUdpSender, SendErrorOrLongStallIsOneFaultAndEndsOutput) {
  for (const bool stall : {false, true}) {
    auto network = std::make_shared<CFakeNetwork>();
    CUdpSender sender(std::make_unique<CFakeDatagramSocket>(network), "sacn:1@10.9.9.9");
    std::atomic<int> reports = 0;
    std::string message;
    sender.SetFaultHandler([&](const CError& error) {
      message = error.message;
      ++reports;
    });
    network->SetError(stall ? kBusy : std::make_error_code(std::errc::host_unreachable));
    sender.Send({1}, false);
    sender.Send({2}, false);
    sender.Flush(CUdpSender::kStallLimit + 2s);
    for (int i = 0; i < 200 && reports == 0; ++i) std::this_thread::sleep_for(10ms);
    network->SetError({});
    sender.Send({3}, false);
    sender.Flush(1s);
    EXPECT_TRUE(network->Taken().empty()) << stall;
    EXPECT_EQ(reports, 1) << stall;
    EXPECT_EQ(message.find("The DMX interface sacn:1@10.9.9.9 stopped working ("), 0u) << message;
    EXPECT_NE(message.find(stall ? "took nothing for 1000 ms" : "o route to host"), std::string::npos) << message;
  }
}
