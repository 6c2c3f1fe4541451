// Interface names with a universe, a host and settings, and the error for each kind of mistake.
#include "outputs/ArtNetOutput.h"
#include "outputs/InterfaceOptions.h"
#include "outputs/SacnOutput.h"

#include <gtest/gtest.h>

namespace {

const CInterfaceGrammar kGrammar = CSacnOutput::Grammar();

}  // namespace

TEST(InterfaceOptions, UniverseHostAndSettingsOrTheMistakeNamed) {
  for (const auto& [text, universe, host, priority] : std::vector<std::tuple<std::string, int, std::string, int>>{
           {"sacn:1", 1, "", 100}, {"sacn:63999@node-1.local,priority=200", 63999, "node-1.local", 200},
           {"sacn:7,priority=0", 7, "", 0}}) {
    auto options = CInterfaceOptions::Parse(text, kGrammar);
    ASSERT_TRUE(options) << options.error().message;
    EXPECT_EQ(std::tuple(options->Universe(), options->Host(), options->Setting("priority")),
              std::tuple(universe, host, priority)) << text;
  }
  EXPECT_EQ(CInterfaceOptions::Parse("artnet:32767@10.0.0.1", CArtNetOutput::Grammar())->Universe(), 32767);
  const auto named = CInterfaceOptions::Parse("sacn:1@host,priority=100,iface=eth1,per-address", kGrammar);
  ASSERT_TRUE(named) << named.error().message;
  EXPECT_EQ(std::tuple(named->Text("iface"), named->Setting("per-address")), std::tuple("eth1", 1));
  EXPECT_EQ(CInterfaceOptions::Parse("sacn:1", kGrammar)->Setting("per-address"), 0);
  const std::vector<std::pair<std::string, std::string>> cases{
      {"sacn:", "sacn: a universe is needed, e.g. sacn:1 or sacn:1@192.168.1.20"},
      {"sacn:@10.0.0.1", "sacn: a universe is needed, e.g. sacn:1 or sacn:1@192.168.1.20"},
      {"sacn:0", "sacn: the universe must be 1 to 63999, not 0"},
      {"sacn:64000", "sacn: the universe must be 1 to 63999, not 64000"},
      {"sacn:99999999999999999999", "sacn: the universe must be 1 to 63999, not 99999999999999999999"},
      {"sacn:-1", "sacn: the universe must be a number from 1 to 63999, not \"-1\""},
      {"sacn:one", "sacn: the universe must be a number from 1 to 63999, not \"one\""},
      {"sacn:1@", "sacn: a host name or address is needed after @"},
      {"sacn:1@no host", "sacn: \"no host\" is not a host name or address"},
      {"sacn:1,priority=300", "sacn: priority must be 0 to 200, not 300"},
      {"sacn:1,priority=", "sacn: priority must be a number from 0 to 200, not \"\""},
      {"sacn:1,priority", "sacn: priority needs a value: priority=N"},
      {"sacn:1,priority=1,priority=2", "sacn: priority is given twice"},
      {"sacn:1,rate=40", "sacn: unknown setting \"rate\" (sacn takes priority, iface, per-address)"},
      {"sacn:1,", "sacn: unknown setting \"\" (sacn takes priority, iface, per-address)"},
      {"sacn:1,per-address=1", "sacn: per-address takes no value"},
      {"sacn:1,iface=", "sacn: iface needs a value: iface=NAME"},
      {"artnet:0,priority=1", "artnet: unknown setting \"priority\" (artnet takes iface)"},
      {"artnet:32768", "artnet: the universe must be 0 to 32767, not 32768"}};
  for (const auto& [text, message] : cases) {
    auto options = CInterfaceOptions::Parse(text, text.starts_with("artnet") ? CArtNetOutput::Grammar() : kGrammar);
    ASSERT_FALSE(options) << text;
    EXPECT_EQ(options.error().message, message) << text;
  }
}
