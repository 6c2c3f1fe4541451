// The Art-Net output: nodes found by ArtPoll and dropped when silent, polls answered, sequence, what it refuses.
#include "outputs/ArtNetOutput.h"

#include "FakeDatagramSocket.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace std::chrono_literals;

// The frames among what was sent: ArtDmx and ArtNzs.
std::vector<CSentDatagram> Frames(const std::vector<CSentDatagram>& sent) {
  std::vector<CSentDatagram> frames;
  std::ranges::copy_if(sent, std::back_inserter(frames), [](const CSentDatagram& s) { return s.bytes[9] >= 0x50; });
  return frames;
}

// A node's answer as Art-Net 4 lays it out: one port that puts out DMX from the network (port
// type bit 7), for port-address 0x0100 | SwOut.
CReceivedDatagram NodeReply(std::uint8_t last, std::uint8_t swOut) {
  Datagram reply = CArtNetPacket::BuildPollReply({10, 0, 0, last}, "node");
  reply[18] = 0x01;  // NetSwitch
  reply[173] = 1;    // one port
  reply[174] = 0x80;
  reply[190] = swOut;
  return {reply, {10, 0, 0, last}, 2, {10, 0, 0, 5}};
}

}  // namespace

TEST(ThreadedArtNetOutput, PollsFindTheNodesOfItsPortAddressPollsAreAnsweredAndFramesCounted) {
  auto network = std::make_shared<CFakeNetwork>();
  network->addresses = {{"lo", 1, {127, 0, 0, 1}, {}, true, true},
                        {"eth1", 2, {10, 0, 0, 5}, CIpv4Address{10, 255, 255, 255}, false, true},
                        {"eth2", 3, {192, 168, 1, 5}, CIpv4Address{192, 168, 1, 255}, false, true}};
  CArtNetOutput output("artnet:257", CArtNetPacket(0x0101), std::make_unique<CFakeDatagramSocket>(network),
                       {std::nullopt, {}, "Vexmira on test"});
  const std::vector<CDatagramRoute> broadcast{{{10, 255, 255, 255}, 2, {10, 0, 0, 5}},
                                              {{192, 168, 1, 255}, 3, {192, 168, 1, 5}}};
  // The routes of the last `count` frames, after what the sender's thread had to do.
  const auto sendFrame = [&](std::size_t count) {
    EXPECT_TRUE(network->Settle());
    output.Send({0, 0, 0, {1, 2}});
    const auto frames = Frames(network->Sent());
    std::vector<CDatagramRoute> routes;
    for (auto f = frames.end() - static_cast<std::ptrdiff_t>(count); f != frames.end(); ++f) routes.push_back(f->route);
    return routes;
  };
  const std::vector<CDatagramRoute> kNode7{{{10, 0, 0, 7}}};
  // At start an ArtPoll to each network's broadcast address; frames go there while no node answers.
  EXPECT_EQ(sendFrame(2), broadcast);
  EXPECT_EQ(network->Sent()[0].bytes, CArtNetPacket::BuildPoll());
  EXPECT_EQ(network->Sent()[1].route, broadcast[1]);
  // Two nodes answer: only the one whose port takes 0x0101 gets the frames, by unicast.
  network->Deliver(NodeReply(7, 1));
  network->Deliver(NodeReply(8, 2));
  EXPECT_EQ(sendFrame(1), kNode7);
  EXPECT_EQ(Frames(network->Sent()).size(), 3u);
  // An ArtPoll that comes in is answered by unicast, from and about the address it came to.
  network->Deliver({CArtNetPacket::BuildPoll(), {10, 0, 0, 9}, 2, {10, 0, 0, 5}});
  ASSERT_TRUE(network->Settle());
  EXPECT_EQ(network->Sent().back().bytes, CArtNetPacket::BuildPollReply({10, 0, 0, 5}, "Vexmira on test"));
  EXPECT_EQ(network->Sent().back().route, (CDatagramRoute{{10, 0, 0, 9}, 0, {10, 0, 0, 5}}));
  // The node answers a poll at 27.5 s, then none: still there at 57.5 s, gone at 60 s.
  network->Advance(27500ms);
  ASSERT_TRUE(network->Settle());
  network->Deliver(NodeReply(7, 1));
  ASSERT_TRUE(network->Settle());
  network->Advance(30000ms);
  EXPECT_EQ(sendFrame(1), kNode7);
  network->Advance(2500ms);
  EXPECT_EQ(sendFrame(2), broadcast);

  // Each frame's sequence: 1 to 255, then 1 again (0 would mean "no sequence").
  for (int i = 0; i < 256; ++i) output.Send({0, 0xFD, 0, {1}});
  std::vector<int> sequence;
  for (const CSentDatagram& frame : Frames(network->Sent())) sequence.push_back(frame.bytes[12]);
  sequence.erase(std::unique(sequence.begin(), sequence.end()), sequence.end());  // by two routes: once
  ASSERT_GT(sequence.size(), 256u);
  for (std::size_t i = 1; i < sequence.size(); ++i) EXPECT_EQ(sequence[i], sequence[i - 1] % 255 + 1) << i;
  // Frames Art-Net cannot carry are refused with the way out.
  EXPECT_EQ(output.AcceptsMode({0xA5, 0xF9, 6, 559}).error().message,
            "The DMX interface artnet:257 sends Art-Net, which carries at most 512 slots; a frame of 559 slots needs "
            "an open-DMX adapter (--interface opendmx:/dev/ttyUSBn)");
  EXPECT_FALSE(output.AcceptsMode({0xA5, 0xCC, 0, 512}));
}
