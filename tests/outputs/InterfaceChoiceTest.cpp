// Which addresses iface= picks, and the routes laid over them for multicast, broadcast and unicast.
#include "outputs/InterfaceChoice.h"

#include <gtest/gtest.h>

TEST(InterfaceChoice, PicksWhatIfaceNamesAndRoutesByEachInterface) {
  // eth1 with two addresses (the second without a broadcast address), eth2 without multicast.
  const std::vector<CLocalAddress> present{{"lo", 1, {127, 0, 0, 1}, {}, true, true},
                                           {"eth1", 2, {10, 0, 0, 5}, CIpv4Address{10, 255, 255, 255}, false, true},
                                           {"eth1:1", 2, {2, 0, 0, 5}, {}, false, true},
                                           {"eth2", 3, {192, 168, 1, 5}, CIpv4Address{192, 168, 1, 255}, false, false}};
  const CIpv4Address group{239, 255, 0, 1}, all1{255, 255, 255, 255}, node{10, 0, 0, 7};
  const auto all = CInterfaceChoice().Pick(present);
  ASSERT_EQ(all.size(), 3u) << "every interface but loopback";
  EXPECT_EQ(CInterfaceChoice::Multicast(all, group), (std::vector<CDatagramRoute>{{group, 2, {10, 0, 0, 5}}}))
      << "once by each interface that carries multicast";
  EXPECT_EQ(CInterfaceChoice::DirectedBroadcast(all),
            (std::vector<CDatagramRoute>{
                {{10, 255, 255, 255}, 2, {10, 0, 0, 5}}, {all1, 2, {2, 0, 0, 5}}, {{192, 168, 1, 255}, 3, {192, 168, 1, 5}}}));
  EXPECT_EQ(CInterfaceChoice::LimitedBroadcast(all),
            (std::vector<CDatagramRoute>{{all1, 2, {10, 0, 0, 5}}, {all1, 3, {192, 168, 1, 5}}}));
  EXPECT_EQ(CInterfaceChoice::Multicast({}, group), std::vector<CDatagramRoute>{{group}}) << "the routing table's";
  EXPECT_EQ(CInterfaceChoice().Unicast(all, node), std::vector<CDatagramRoute>{{node}});

  const auto eth1 = CInterfaceChoice::Make("sacn", "eth1", present);
  EXPECT_EQ(eth1->Pick(present).size(), 2u);
  EXPECT_EQ(eth1->Unicast(eth1->Pick(present), node), (std::vector<CDatagramRoute>{{node, 0, {10, 0, 0, 5}}}));
  EXPECT_EQ(CInterfaceChoice::Make("sacn", "192.168.1.5", present)->Pick(present), std::vector{present[3]});
  EXPECT_EQ(CInterfaceChoice::Make("sacn", "lo", present)->Pick(present).size(), 1u) << "when named";
  for (const std::string iface : {"eth9", "10.0.0.6"}) {
    EXPECT_EQ(CInterfaceChoice::Make("artnet", iface, present).error().message,
              "artnet: iface=" + iface +
                  " names no interface that is up with an IPv4 address (there are: lo, eth1, eth2)");
  }
  EXPECT_TRUE(CInterfaceChoice::IsBroadcast({192, 168, 1, 255}, present));
  EXPECT_TRUE(CInterfaceChoice::IsBroadcast(all1, {}));
  EXPECT_FALSE(CInterfaceChoice::IsBroadcast({192, 168, 1, 254}, present));
}
