// Interface names and the outputs they stand for.
#include "link/OutputFactory.h"
#include "link/VirtualOutput.h"

#include "PtyPair.h"

#include <gtest/gtest.h>

TEST(OutputFactory, VirtualNamesAnswerTheirModels) {
  auto both = MakeOutput("virtual");
  ASSERT_TRUE(both) << both.error().message;
  EXPECT_EQ((*both)->Name(), "virtual");
  EXPECT_TRUE((*both)->Answers(0x8888, 0x0101));
  EXPECT_TRUE((*both)->Answers(0x8888, 0x0102));
  EXPECT_FALSE((*both)->Answers(0x8889, 0x0102));
  EXPECT_TRUE((*both)->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559}));

  auto first = MakeOutput("virtual:0x0101");
  ASSERT_TRUE(first);
  EXPECT_EQ((*first)->Name(), "virtual:0x0101");
  EXPECT_TRUE((*first)->Answers(0x8888, 0x0101));
  EXPECT_FALSE((*first)->Answers(0x8888, 0x0102));

  auto second = MakeOutput("virtual:0x0102");
  ASSERT_TRUE(second);
  EXPECT_EQ((*second)->Name(), "virtual:0x0102");
  EXPECT_FALSE((*second)->Answers(0x8888, 0x0101));
  EXPECT_TRUE((*second)->Answers(0x8888, 0x0102));
}

TEST(OutputFactory, NoneAnswersNothing) {
  auto none = MakeOutput("none");
  ASSERT_TRUE(none);
  EXPECT_EQ((*none)->Name(), "none");
  EXPECT_FALSE((*none)->Answers(0x8888, 0x0101));
  EXPECT_FALSE((*none)->Answers(0x8888, 0x0102));
}

TEST(ThreadedOutputFactory, SerialNamesOpenTheirDeviceOrSayWhyNot) {
  CPtyPair pty;
  auto openDmx = MakeOutput("opendmx:" + pty.SlavePath());
  ASSERT_TRUE(openDmx) << openDmx.error().message;
  EXPECT_EQ((*openDmx)->Name(), "opendmx:" + pty.SlavePath());
  EXPECT_TRUE((*openDmx)->Answers(0x8888, 0x0101));
  openDmx->reset();  // the device is free again

  auto pro = MakeOutput("pro:" + pty.SlavePath());
  ASSERT_TRUE(pro) << pro.error().message;
  EXPECT_EQ((*pro)->Name(), "pro:" + pty.SlavePath());
  EXPECT_TRUE((*pro)->Answers(0x8888, 0x0102));
  EXPECT_FALSE((*pro)->AcceptsMode(CDmxMode{0xA5, 0xF9, 6, 559}));

  for (const char* missing : {"opendmx:/dev/vexmira-no-such-tty", "pro:/dev/vexmira-no-such-tty"}) {
    auto output = MakeOutput(missing);
    ASSERT_FALSE(output) << missing;
    EXPECT_NE(output.error().message.find("/dev/vexmira-no-such-tty"), std::string::npos) << output.error().message;
  }
  for (const char* bare : {"opendmx:", "pro:"}) {
    auto output = MakeOutput(bare);
    ASSERT_FALSE(output) << bare;
    EXPECT_NE(output.error().message.find("needs a device"), std::string::npos) << output.error().message;
  }
}

TEST(OutputFactory, UnknownNamesGiveAReadableError) {
  for (const char* unknown : {"", "Virtual", "virtual:0x0103", "serial", "opendmx", "Auto"}) {
    auto output = MakeOutput(unknown);
    ASSERT_FALSE(output) << unknown;
    EXPECT_NE(output.error().message.find("Unknown interface \"" + std::string(unknown) + "\""),
              std::string::npos)
        << output.error().message;
  }
}
