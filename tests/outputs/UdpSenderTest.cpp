// The non-blocking send path on the test's clock: a busy system, faults reported once, a route that fails.
#include "outputs/UdpSender.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

using namespace std::chrono_literals;

const std::error_code kBusy = std::make_error_code(std::errc::resource_unavailable_try_again);
const CDatagramRoute kRoute{{10, 0, 0, 9}};

void Send(CUdpSender& sender, std::uint8_t byte, bool droppable) { sender.Send({byte}, {&kRoute, 1}, droppable); }

}  // namespace

TEST(ThreadedUdpSender, BusySystemDropsLevelsButSendsCommandsInOrderLater) {
  auto network = std::make_shared<CFakeNetwork>();
  CUdpSender sender(std::make_unique<CFakeDatagramSocket>(network), "test");
  Send(sender, 1, true);
  network->SetError(kBusy);
  Send(sender, 2, true);   // a level frame: dropped
  Send(sender, 3, false);  // command frames wait, in order
  Send(sender, 4, true);   // levels behind them wait too, the newest only
  Send(sender, 5, false);
  Send(sender, 6, true);
  Send(sender, 7, true);
  EXPECT_EQ(network->Taken(), (std::vector<Datagram>{{1}}));
  network->SetError({});
  ASSERT_TRUE(network->Settle());  // the sender's thread waits to try again
  network->Advance(CUdpSender::kRetryWait);  // and sends them without another Send
  sender.Flush(5s);
  EXPECT_EQ(network->Taken(), (std::vector<Datagram>{{1}, {3}, {4}, {5}, {7}}));
  EXPECT_EQ(sender.DroppedCount(), 2u);

  // One interface without a route beside one that takes the datagram is no fault.
  network->unreachable = kRoute.to;
  const CDatagramRoute routes[] = {kRoute, {{10, 0, 0, 10}}};
  sender.Send({8}, routes, false);
  EXPECT_EQ(network->Taken().back(), Datagram{8});
  EXPECT_FALSE(sender.Fault());
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
    Send(sender, 1, false);
    Send(sender, 2, false);
    ASSERT_TRUE(network->Settle());
    network->Advance(CUdpSender::kStallLimit - 1ms);
    ASSERT_TRUE(network->Settle());
    EXPECT_EQ(reports, stall ? 0 : 1) << "a stall is no fault before its limit";
    network->Advance(CUdpSender::kRetryWait);
    ASSERT_TRUE(network->Settle());
    network->SetError({});
    Send(sender, 3, false);
    sender.Flush(1s);
    EXPECT_TRUE(network->Taken().empty()) << stall;
    EXPECT_EQ(reports, 1) << stall;
    EXPECT_EQ(message.find("The DMX interface sacn:1@10.9.9.9 stopped working ("), 0u) << message;
    EXPECT_NE(message.find(stall ? "took nothing for 1000 ms" : "o route to host"), std::string::npos) << message;
  }
}
