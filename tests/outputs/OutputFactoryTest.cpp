// Interface names and the outputs they stand for.
#include "outputs/OutputFactory.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

TEST(ThreadedOutputFactory, EachNameGivesItsOutputAnsweringItsModels) {
  CPtyPair pty;
  const std::string device = pty.SlavePath();
  const std::vector<std::tuple<std::string, bool, bool>> cases{
      {"virtual", true, true}, {"virtual:0x0101", true, false}, {"virtual:0x0102", false, true},
      {"none", false, false},  {"opendmx:" + device, true, false}, {"pro:" + device, false, true}};
  for (const auto& [name, first, second] : cases) {
    auto output = MakeOutput(name);  // each serial output is closed again before the next opens
    ASSERT_TRUE(output) << name << ": " << output.error().message;
    EXPECT_EQ((*output)->Name(), name);
    EXPECT_EQ((*output)->Answers(0x8888, 0x0101), first) << name;
    EXPECT_EQ((*output)->Answers(0x8888, 0x0102), second) << name;
    EXPECT_FALSE((*output)->Answers(0x8889, 0x0102)) << name;
  }
  EXPECT_TRUE((*MakeOutput("virtual"))->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559}));
}

TEST(OutputFactory, BadNamesGiveAReadableError) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"opendmx:/dev/vexmira-no-such-tty", "/dev/vexmira-no-such-tty"},
      {"pro:/dev/vexmira-no-such-tty", "/dev/vexmira-no-such-tty"},
      {"opendmx:", "needs a device"},
      {"pro:", "needs a device"}};
  for (const auto& [name, part] : cases) {
    auto output = MakeOutput(name);
    ASSERT_FALSE(output) << name;
    EXPECT_NE(output.error().message.find(part), std::string::npos) << output.error().message;
  }
  for (const std::string unknown : {"", "Virtual", "virtual:0x0103", "serial", "opendmx", "Auto"}) {
    auto output = MakeOutput(unknown);
    ASSERT_FALSE(output) << unknown;
    EXPECT_NE(output.error().message.find("Unknown interface \"" + unknown + "\""), std::string::npos)
        << output.error().message;
  }
}
