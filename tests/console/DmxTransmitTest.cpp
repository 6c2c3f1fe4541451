// The DMX console through the script host: fader bank, channel bar, Stand Alone, Clean and the console tick.
#include "ConsoleScripts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

const std::vector<std::uint8_t> kZeroPage(142, 0);

bool AllZero(const std::vector<std::uint8_t>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t v) { return v == 0; });
}

std::string ExpectChasePanelHidden() {
  std::string text;
  for (const int id : {1101, 1107, 1102, 1106, 1002, 1003, 1103, 1108, 1277, 1278, 1266, 1105, 1279, 1104, 1280})
    text += "expect hidden " + std::to_string(id) + "\n";
  return text;
}

}  // namespace

TEST(DmxConsole, OpensZeroedWithThePanelHiddenAndTicksEvery25Ms) {
  auto data = std::make_unique<CConsoleData>();
  data->SetLevel(5, 7);  // left over from an earlier console
  data->SetLevel(300, 9);
  const CScriptRun run = RunConsole(
      "expect dialog 129\n"
      "expect title \"DMX Console V2.0\"\n"
      "expect icon 139\n"
      "expect menu 32 \"Chase Panel\"\n"
      "expect focus 1004\n" +
          ExpectColumns(0) + ExpectLabels(1) +
          "expect range 1004 0 255\n"
          "expect range 1097 0 255\n"
          "expect range 1100 0 480\n"
          "expect pos 1100 0\n"
          "expect text 1000 \"Stand Alone\"\n"
          "expect text 1001 \"Clean\"\n" +
          ExpectChasePanelHidden() +
          "expect disabled 1266\n"
          "expect range 1105 0 5999\n"
          "expect range 1104 0 6000\n"
          "expect pos 1105 0\n"
          "expect pos 1104 0\n"
          "expect text 1279 \"0'0.1\\\"\"\n"
          "expect text 1280 \"0'0.0\\\"\"\n"
          "expect frames 0\n"
          "wait 24\n"
          "expect frames 0\n"
          "wait 1\n"
          "expect frames 1\n"
          "wait 975\n"
          "expect frames 40\n"
          "expect frame 0 512 6=0 301=0\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;

  const std::vector<std::string> calls = Describe(run.calls);
  ASSERT_EQ(calls.size(), 1u + 4u + 40u + 1u);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 6),
            (std::vector<std::string>{"SetMode(165, 0, 0, 512)", "SetPageValue(0)", "SetPageValue(1)",
                                      "SetPageValue(2)", "SetPageValue(3)", "StartWithPageValue(0)"}));
  for (std::size_t i = 1; i <= 4; ++i) EXPECT_EQ(run.calls[i].page, kZeroPage) << i;
  EXPECT_EQ(calls.back(), "StandBy()");
  ASSERT_EQ(run.frames.size(), 40u);
  for (std::size_t i = 0; i < run.frames.size(); ++i) {
    EXPECT_EQ(run.frames[i].timeUs, static_cast<std::int64_t>(i + 1) * 25000) << i;
    EXPECT_EQ(run.frames[i].startCode, 0);
    EXPECT_TRUE(AllZero(run.frames[i].slots)) << i;
  }
}

TEST(DmxConsole, ChannelsBelow143GoOutWithTheNextTickLaterOnesAtOnce) {
  const CScriptRun run = RunConsole(
      "wait 25\n"
      "scroll 1100 SB_THUMBTRACK 111\n"
      "expect pos 1100 111\n" +
      ExpectLabels(112) +
      // Column 30 is channel 142 (index 141), column 31 channel 143 (index 142).
      "slide 1094 55\n"
      "expect text 1095 \"200\"\n"
      "slide 1097 5\n"
      "expect text 1098 \"250\"\n"
      "expect frame 0 512 142=0 143=0\n"
      "wait 25\n"
      "expect frame 0 512 142=200 143=250\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;

  const std::size_t firstTick = IndexOfCall(run, "StartWithPageValue(0)");
  EXPECT_EQ(CallsFrom(run, firstTick),
            (std::vector<std::string>{"StartWithPageValue(0)", "SetChannelValue(142, 250)", "StartWithPageValue(0)",
                                      "StandBy()"}));
  const std::vector<std::uint8_t>& page = run.calls[firstTick + 2].page;
  ASSERT_EQ(page.size(), 142u);
  EXPECT_EQ(page[141], 200);
  ASSERT_EQ(run.frames.size(), 2u);
  EXPECT_EQ(run.frames[1].timeUs, 50000);
}

TEST(DmxConsole, ChannelBarStepsByLinesAndPagesAndStaysAtItsEnds) {
  const CScriptRun run = RunConsole(
      "scroll 1100 SB_LINELEFT\n"
      "scroll 1100 SB_PAGELEFT\n"
      "expect pos 1100 0\n"
      "slide 1004 0\n"  // index 0 at 255
      "scroll 1100 SB_LINERIGHT\n"
      "expect pos 1100 1\n"
      "expect text 1006 \"2\"\n"
      "expect pos 1004 255\n"
      "expect text 1005 \"0\"\n"
      "scroll 1100 SB_PAGERIGHT\n"
      "expect pos 1100 11\n"
      "scroll 1100 SB_THUMBTRACK 475\n"
      "scroll 1100 SB_PAGERIGHT\n"
      "expect pos 1100 480\n" +
      ExpectLabels(481) +
      "slide 1097 178\n"  // index 511 at 77
      "scroll 1100 SB_LINERIGHT\n"
      "scroll 1100 SB_PAGERIGHT\n"
      "scroll 1100 SB_THUMBPOSITION 3\n"
      "scroll 1100 SB_ENDSCROLL\n"
      "scroll 1100 SB_LEFT\n"
      "scroll 1100 SB_RIGHT\n"
      "expect pos 1100 480\n"
      "expect text 1006 \"481\"\n"
      "expect text 1098 \"77\"\n"
      "scroll 1100 SB_THUMBTRACK 5\n"
      "expect pos 1100 5\n"
      "expect text 1006 \"6\"\n"
      "scroll 1100 SB_PAGELEFT\n"
      "expect pos 1100 0\n" +
      ExpectLabels(1) +
      "expect pos 1004 0\n"
      "expect text 1005 \"255\"\n"
      // A tracked position beyond the bar is held to its end.
      "scroll 1100 SB_THUMBTRACK 600\n"
      "expect pos 1100 480\n"
      "expect pos 1097 178\n"
      "expect text 1098 \"77\"\n"
      "expect text 1099 \"512\"\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  // Scrolling sends nothing; only the move of a channel above 142 makes a call.
  EXPECT_EQ(CallsFrom(run, 5), (std::vector<std::string>{"SetChannelValue(511, 77)", "StandBy()"}));
}

TEST(DmxConsole, CleanZeroesEveryChannelAndKeepsTheBank) {
  const CScriptRun run = RunConsole(
      "slide 1004 0\n"
      "scroll 1100 SB_THUMBTRACK 200\n"
      "slide 1004 55\n"
      "slide 1097 0\n"
      "wait 25\n"
      "expect frame 0 512 1=255 201=200 232=255\n"
      "click 1001\n" +
      ExpectColumns(0) + ExpectLabels(201) +
      "expect pos 1100 200\n"
      "wait 25\n"
      "expect frame 0 512 1=0 201=0 232=0\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;

  const std::size_t firstTick = IndexOfCall(run, "StartWithPageValue(0)");
  EXPECT_EQ(CallsFrom(run, firstTick),
            (std::vector<std::string>{"StartWithPageValue(0)", "SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)",
                                      "SetPageValue(3)", "StartWithPageValue(0)", "StandBy()"}));
  for (std::size_t i = firstTick + 1; i <= firstTick + 4; ++i) EXPECT_EQ(run.calls[i].page, kZeroPage) << i;
  ASSERT_EQ(run.frames.size(), 2u);
  EXPECT_TRUE(AllZero(run.frames[1].slots));
}

TEST(DmxConsole, StandAloneStandsByWhileTheTickGoesOnThenSetsTheModeAgain) {
  const CScriptRun run = RunConsole(
      "wait 50\n"
      "click 1000\n"
      "expect text 1000 \"DMX Out\"\n"
      "wait 100\n"
      "expect frames 2\n"
      "click 1000\n"
      "expect text 1000 \"Stand Alone\"\n"
      "wait 25\n"
      "expect frames 3\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CallsFrom(run, 5),
            (std::vector<std::string>{"StartWithPageValue(0)", "StartWithPageValue(0)", "StandBy()",
                                      "StartWithPageValue(0)", "StartWithPageValue(0)", "StartWithPageValue(0)",
                                      "StartWithPageValue(0)", "SetMode(165, 0, 0, 512)", "StartWithPageValue(0)",
                                      "StandBy()"}));
  ASSERT_EQ(run.frames.size(), 3u);
  EXPECT_EQ(run.frames[2].timeUs, 175000);
}

TEST(DmxConsole, ReopenedConsoleStartsFromZero) {
  const CScriptRun run = RunScript(
      "slide 1004 0\n"
      "scroll 1100 SB_THUMBTRACK 300\n"
      "slide 1010 100\n"
      "wait 25\n"
      "expect frame 0 512 1=255 303=155\n"
      "close\n"
      "expect pos 1100 0\n" +
          ExpectColumns(0) + ExpectLabels(1) +
          "scroll 1100 SB_THUMBTRACK 300\n"
          "expect pos 1010 255\n"
          "expect text 1011 \"0\"\n"
          "wait 25\n"
          "expect frame 0 512 1=0 303=0\n",
      [] {
        for (int opening = 0; opening < 2; ++opening) {
          DmxLinkSetMode(0xA5, 0, 0, 512);
          {
            CDmxTransmit console;
            console.DoModal();
          }
          DmxLinkStandBy();
        }
      });
  ASSERT_TRUE(run.Passed()) << run.result.message;
  const std::size_t secondOpening = IndexOfCall(run, "SetMode(165, 0, 0, 512)", 1);
  ASSERT_LT(secondOpening + 4, run.calls.size());
  for (std::size_t i = secondOpening + 1; i <= secondOpening + 4; ++i) {
    EXPECT_EQ(Describe(run.calls[i]), "SetPageValue(" + std::to_string(i - secondOpening - 1) + ")");
    EXPECT_EQ(run.calls[i].page, kZeroPage) << i;
  }
  EXPECT_TRUE(AllZero(run.frames.back().slots));
}

TEST(DmxConsole, TickSendsTheLevelStandingAtItsMoment) {
  const CScriptRun run = RunConsole(
      "wait 25\n"
      "slide 1004 155\n"
      "expect text 1005 \"100\"\n"
      "slide 1004 135\n"
      "wait 24\n"
      "expect frames 1\n"
      "expect frame 0 512 1=0\n"
      "wait 1\n"
      "expect frames 2\n"
      "expect frame 0 512 1=120\n"
      "slide 1004 50\n"
      "wait 25\n"
      "expect frame 0 512 1=205\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  const std::size_t firstTick = IndexOfCall(run, "StartWithPageValue(0)");
  EXPECT_EQ(CallsFrom(run, firstTick),
            (std::vector<std::string>{"StartWithPageValue(0)", "StartWithPageValue(0)", "StartWithPageValue(0)",
                                      "StandBy()"}));
  EXPECT_EQ(run.calls[firstTick + 1].page[0], 120);
  EXPECT_EQ(run.calls[firstTick + 2].page[0], 205);
}

TEST(DmxConsole, EveryFaderCodeThatMovesItIsTakenTheHomeKeyToo) {
  std::string script = "scroll 1100 SB_THUMBTRACK 200\n";
  // Lines, pages, thumb, top (Home), bottom (End) and the end of an action.
  for (int code = 0; code <= 8; ++code) {
    const int pos = 20 * code + 5;
    script += "slide 1007 " + std::to_string(pos) + " " + std::to_string(code) + "\n";
    script += "expect text 1008 \"" + std::to_string(255 - pos) + "\"\n";
  }
  script +=
      "slide 1007 0 TB_TOP\n"
      "expect text 1008 \"255\"\n"
      // A code no trackbar sends changes nothing.
      "slide 1007 100 9\n"
      "expect text 1008 \"255\"\n";
  const CScriptRun run = RunConsole(script);
  ASSERT_TRUE(run.Passed()) << run.result.message;
  std::vector<std::string> expected;
  for (int code = 0; code <= 8; ++code)
    expected.push_back("SetChannelValue(201, " + std::to_string(250 - 20 * code) + ")");
  expected.push_back("SetChannelValue(201, 255)");
  expected.push_back("StandBy()");
  EXPECT_EQ(CallsFrom(run, 5), expected);
}
