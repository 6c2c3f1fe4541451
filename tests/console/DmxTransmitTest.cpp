// The DMX console through the script host: fader bank, channel bar, Stand Alone, Clean and the console tick.
#include "ConsoleScripts.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Calls = std::vector<std::string>;
const std::vector<std::uint8_t> kZeroPage(142, 0);
const std::vector<std::uint8_t> kZeroFrame(512, 0);
const Calls kZeroPages = {"SetPageValue(0)", "SetPageValue(1)", "SetPageValue(2)", "SetPageValue(3)"};

Calls Join(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Checks that the four page calls from `first` on carry all-zero pages.
void ExpectZeroPages(const CScriptRun& run, std::size_t first) {
  ASSERT_LE(first + 4, run.calls.size());
  for (std::size_t i = first; i < first + 4; ++i) EXPECT_EQ(run.calls[i].page, kZeroPage) << i;
}

}  // namespace

TEST(DmxConsole, OpensZeroedWithTheBankAtChannelOneAndTicksEvery25Ms) {
  auto data = std::make_unique<CConsoleData>();
  data->SetLevel(5, 7);  // left over from an earlier console
  data->SetLevel(300, 9);
  const CScriptRun run = RunConsole(
      "expect dialog 129\nexpect title \"DMX Console V2.0\"\nexpect icon 139\nexpect menu 32 \"Chase Panel\"\n"
      "expect focus 1004\nexpect range 1004 0 255\nexpect range 1100 0 480\nexpect pos 1100 0\n" +
          ExpectColumns(0) + ExpectLabels(1) +
          "expect text 1000 \"Stand Alone\"\nexpect text 1001 \"Clean\"\nexpect range 1105 0 5999\n"
          "expect range 1104 0 6000\nwait 24\nexpect frames 0\nwait 1\nexpect frames 1\nwait 975\nexpect frames 40\n",
      data.get());
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Describe(run.calls),
            Join({{"SetMode(165, 0, 0, 512)"}, kZeroPages, Calls(40, "StartWithPageValue(0)"), {"StandBy()"}}));
  ExpectZeroPages(run, 1);
  ASSERT_EQ(run.frames.size(), 40u);
  for (std::size_t i = 0; i < run.frames.size(); ++i) {
    EXPECT_EQ(run.frames[i].timeUs, static_cast<std::int64_t>(i + 1) * 25000) << i;
    EXPECT_EQ(run.frames[i].startCode, 0);
    EXPECT_EQ(run.frames[i].slots, kZeroFrame) << i;
  }
}

TEST(DmxConsole, ChannelsBelow143GoOutWithTheNextTickLaterOnesAtOnce) {
  // Bank at 111: column 30 is channel 142 (index 141), column 31 channel 143 (index 142).
  const CScriptRun run = RunConsole("wait 25\nscroll 1100 SB_THUMBTRACK 111\nexpect pos 1100 111\n" +
                                    ExpectLabels(112) +
                                    "slide 1094 55\nexpect text 1095 \"200\"\nslide 1097 5\nexpect text 1098 \"250\"\n"
                                    "expect frame 0 512 142=0 143=0\nwait 25\nexpect frame 0 512 142=200 143=250\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CallsFrom(run, 5), (Calls{"StartWithPageValue(0)", "SetChannelValue(142, 250)", "StartWithPageValue(0)",
                                      "StandBy()"}));
  EXPECT_EQ(run.calls[7].page.at(141), 200);
  ASSERT_EQ(run.frames.size(), 2u);
  EXPECT_EQ(run.frames[1].timeUs, 50000);
}

TEST(DmxConsole, ChannelBarStepsByLinesAndPagesAndStaysAtItsEnds) {
  const CScriptRun run = RunConsole(
      "scroll 1100 SB_LINELEFT\nscroll 1100 SB_PAGELEFT\nexpect pos 1100 0\n"
      "slide 1004 0\n"  // index 0 at 255
      "scroll 1100 SB_LINERIGHT\nexpect pos 1100 1\nexpect text 1006 \"2\"\nexpect pos 1004 255\n"
      "expect text 1005 \"0\"\nscroll 1100 SB_PAGERIGHT\nexpect pos 1100 11\nscroll 1100 SB_THUMBTRACK 475\n"
      "scroll 1100 SB_PAGERIGHT\nexpect pos 1100 480\n" +
      ExpectLabels(481) +
      "slide 1097 178\n"  // index 511 at 77
      // Past the end, and the codes that do not move the bar (the thumb's final position among them).
      "scroll 1100 SB_LINERIGHT\nscroll 1100 SB_PAGERIGHT\nscroll 1100 SB_THUMBPOSITION 3\n"
      "scroll 1100 SB_ENDSCROLL\nscroll 1100 SB_LEFT\nscroll 1100 SB_RIGHT\nexpect pos 1100 480\n"
      "expect text 1006 \"481\"\nexpect text 1098 \"77\"\nscroll 1100 SB_THUMBTRACK 5\nexpect pos 1100 5\n"
      "scroll 1100 SB_PAGELEFT\nexpect pos 1100 0\n" +
      ExpectLabels(1) +
      "expect pos 1004 0\nexpect text 1005 \"255\"\n"
      // A tracked position beyond the bar is held to its end.
      "scroll 1100 SB_THUMBTRACK 600\nexpect pos 1100 480\nexpect pos 1097 178\nexpect text 1099 \"512\"\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  // Scrolling sends nothing; only the move of a channel above 142 makes a call.
  EXPECT_EQ(CallsFrom(run, 5), (Calls{"SetChannelValue(511, 77)", "StandBy()"}));
}

TEST(DmxConsole, EveryFaderCodeThatMovesItIsTakenTheHomeKeyToo) {
  std::string script = "scroll 1100 SB_THUMBTRACK 200\n";
  Calls expected;
  // Lines, pages, thumb, top (Home), bottom (End) and the end of an action.
  for (int code = 0; code <= 8; ++code) {
    script += "slide 1007 " + std::to_string(20 * code + 5) + " " + std::to_string(code) + "\n";
    expected.push_back("SetChannelValue(201, " + std::to_string(250 - 20 * code) + ")");
  }
  // A code no trackbar sends changes nothing.
  script += "slide 1007 0 TB_TOP\nexpect text 1008 \"255\"\nslide 1007 100 9\nexpect text 1008 \"255\"\n";
  const CScriptRun run = RunConsole(script);
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CallsFrom(run, 5), Join({expected, {"SetChannelValue(201, 255)", "StandBy()"}}));
}

TEST(DmxConsole, CleanZeroesEveryChannelAndKeepsTheBank) {
  const CScriptRun run = RunConsole(
      "slide 1004 0\nscroll 1100 SB_THUMBTRACK 200\nslide 1004 55\nslide 1097 0\nwait 25\n"
      "expect frame 0 512 1=255 201=200 232=255\nclick 1001\n" +
      ExpectColumns(0) + ExpectLabels(201) + "expect pos 1100 200\nwait 25\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  // After the two moves above 142 and the first tick: four page calls of zeros and no channel call.
  EXPECT_EQ(CallsFrom(run, 5), Join({{"SetChannelValue(200, 200)", "SetChannelValue(231, 255)", "StartWithPageValue(0)"},
                                     kZeroPages, {"StartWithPageValue(0)", "StandBy()"}}));
  ExpectZeroPages(run, 8);
  ASSERT_EQ(run.frames.size(), 2u);
  EXPECT_EQ(run.frames[1].slots, kZeroFrame);
}

TEST(DmxConsole, StandAloneStandsByWhileTheTickGoesOnThenSetsTheModeAgain) {
  const CScriptRun run = RunConsole(
      "wait 50\nclick 1000\nexpect text 1000 \"DMX Out\"\nwait 100\nexpect frames 2\nclick 1000\n"
      "expect text 1000 \"Stand Alone\"\nwait 25\nexpect frames 3\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CallsFrom(run, 5), Join({Calls(2, "StartWithPageValue(0)"), {"StandBy()"}, Calls(4, "StartWithPageValue(0)"),
                                     {"SetMode(165, 0, 0, 512)", "StartWithPageValue(0)", "StandBy()"}}));
  ASSERT_EQ(run.frames.size(), 3u);
  EXPECT_EQ(run.frames[2].timeUs, 175000);
}

TEST(DmxConsole, ReopenedConsoleStartsFromZero) {
  const CScriptRun run = RunScript(
      "slide 1004 0\nscroll 1100 SB_THUMBTRACK 300\nslide 1010 100\nwait 25\nexpect frame 0 512 1=255 303=155\n"
      "close\nexpect pos 1100 0\n" +
          ExpectColumns(0) + ExpectLabels(1) +
          "scroll 1100 SB_THUMBTRACK 300\nexpect pos 1010 255\nexpect text 1011 \"0\"\nwait 25\n",
      [](CDmxLink& link) {
        for (int opening = 0; opening < 2; ++opening) {
          link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
          {
            CDmxTransmit console(link);
            console.DoModal();
          }
          link.DmxLinkStandBy();
        }
      });
  ASSERT_TRUE(run.Passed()) << run.result.message;
  const std::size_t second = IndexOfCall(run, "SetMode(165, 0, 0, 512)", 1);
  EXPECT_EQ(CallsFrom(run, second), Join({{"SetMode(165, 0, 0, 512)"}, kZeroPages, {"StartWithPageValue(0)", "StandBy()"}}));
  ExpectZeroPages(run, second + 1);
  EXPECT_EQ(run.frames.back().slots, kZeroFrame);
}

TEST(DmxConsole, TickSendsTheLevelStandingAtItsMoment) {
  const CScriptRun run = RunConsole(
      "wait 25\nslide 1004 155\nexpect text 1005 \"100\"\nslide 1004 135\nwait 24\nexpect frames 1\n"
      "expect frame 0 512 1=0\nwait 1\nexpect frames 2\nexpect frame 0 512 1=120\nslide 1004 50\nwait 25\n"
      "expect frame 0 512 1=205\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CallsFrom(run, 5), Join({Calls(3, "StartWithPageValue(0)"), {"StandBy()"}}));
  EXPECT_EQ(run.calls[6].page.at(0), 120);
  EXPECT_EQ(run.calls[7].page.at(0), 205);
}
