// Interface names: the output each stands for, or an error that says what is wrong.
#include "outputs/OutputFactory.h"

#include "FakeTty.h"

#include <gtest/gtest.h>

TEST(ThreadedOutputFactory, EachNameGivesItsOutputOrAnErrorThatNamesTheCause) {
  auto tty = std::make_shared<CFakeTty>();
  tty->Setup("/dev/ttyUSB7").openError = std::errc::permission_denied;
  tty->Setup("/dev/ttyUSB8").openError = std::errc::device_or_resource_busy;
  tty->Setup("/dev/ttyUSB9").openError = std::errc::no_such_device;
  tty->Setup("/dev/ttyS9").openError = std::errc::inappropriate_io_control_operation;
  // A name, the models it answers (open-DMX, Pro), or the parts of its error.
  const std::vector<std::tuple<std::string, bool, bool, std::vector<std::string>>> cases{
      {"virtual", true, true, {}}, {"virtual:0x0101", true, false, {}}, {"virtual:0x0102", false, true, {}},
      {"none", false, false, {}}, {"opendmx:/dev/ttyUSB0", true, false, {}}, {"pro:/dev/ttyUSB0", false, true, {}},
      {"opendmx:/dev/ttyUSB7", false, false, {"Cannot open /dev/ttyUSB7", "dialout", "res/60-vexmira-dmx.rules"}},
      {"pro:/dev/ttyUSB8", false, false, {"Cannot open /dev/ttyUSB8", "in use by another program"}},
      {"opendmx:/dev/ttyUSB9", false, false, {"no such device"}}, {"pro:/dev/ttyS9", false, false, {"not a serial device"}},
      {"opendmx:", false, false, {"\"opendmx:\" needs a device"}}, {"pro:", false, false, {"\"pro:\" needs a device"}},
      {"", false, false, {"Unknown interface \"\""}}, {"Virtual", false, false, {"Unknown interface \"Virtual\""}},
      {"virtual:0x0103", false, false, {"Unknown interface \"virtual:0x0103\""}},
      {"sacn:1@255.255.255.255", false, false, {"sacn: 255.255.255.255 is a broadcast address"}},
      {"opendmx", false, false,
       {"(known: pro:DEVICE, opendmx:DEVICE[,rts=on], sacn:UNIVERSE[@HOST][,priority=N][,iface=NAME|ADDRESS]"
        "[,per-address], artnet:UNIVERSE[@HOST][,iface=NAME|ADDRESS], auto, virtual, virtual:0x0101, virtual:0x0102, "
        "none)"}}};
  for (const auto& [name, answersOpenDmx, answersPro, error] : cases) {
    auto output = MakeOutput(name, tty);
    ASSERT_EQ(output.has_value(), error.empty()) << name;
    for (const std::string& part : error) {
      EXPECT_NE(output.error().message.find(part), std::string::npos) << output.error().message;
    }
    if (!output) continue;
    EXPECT_EQ((*output)->Name(), name);
    EXPECT_EQ((*output)->Answers(0x8888, 0x0101), answersOpenDmx) << name;
    EXPECT_EQ((*output)->Answers(0x8888, 0x0102), answersPro) << name;
    EXPECT_FALSE((*output)->Answers(0x8889, 0x0102)) << name;
  }
}
