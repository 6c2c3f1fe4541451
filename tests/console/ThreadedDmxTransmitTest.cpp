// The console tick on a real thread of its own while the GUI thread moves faders, cleans, runs and stops.
#include "ConsoleScripts.h"

#include "framework/PeriodicThread.h"
#include "framework/ScriptHost.h"
#include "outputs/OutputFactory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>

namespace {

// The console opened as the launcher does, on the script host in real time: the tick runs on
// its periodic thread while the script's commands run on this one.
std::vector<CDmxFrame> RunInRealTime(const std::string& text, CConsoleData& data, CScriptResult& result) {
  auto script = CScript::Parse(text, "script");
  if (!script) {
    ADD_FAILURE() << script.error().message;
    return {};
  }
  CRecordingLink link;
  std::vector<CDmxFrame> frames;
  {
    CScriptHost host(std::move(*script), true);
    CLineFrames source(link.Line());
    host.SetFrameSource(&source);
    link.Line().SetClock([&host] { return host.NowUs(); });
    result = host.Run([&] {
      link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
      {
        CDmxTransmit console(link, data);
        console.DoModal();
      }
      link.DmxLinkStandBy();
    });
    link.Line().Flush(std::chrono::milliseconds(1000));
    link.Line().SetClock({});
    frames = link.Frames();
  }
  CHost::SetCurrent(nullptr);
  return frames;
}

std::vector<std::uint8_t> PageZero(const CDmxFrame& frame) { return {frame.slots.begin(), frame.slots.begin() + 142}; }

std::vector<std::uint8_t> Screen(CConsoleData& data) { return {data.Screen().begin(), data.Screen().end()}; }

}  // namespace

TEST(ThreadedDmxTransmit, FaderMovesReachTheLineInTheirOrderWhileTheTickRuns) {
  auto data = std::make_unique<CConsoleData>();
  std::string script = "wait 30\n";
  for (int level = 1; level <= 255; ++level)  // channel 32 follows channel 1
    script += "slide 1004 " + std::to_string(255 - level) + "\nslide 1097 " + std::to_string(255 - level) + "\nwait 2\n";
  script += "wait 60\nexpect frame 0 512 1=255 32=255\nclick 1001\nwait 60\nexpect frame 0 512 1=0 32=0\n";
  CScriptResult result;
  const std::vector<CDmxFrame> frames = RunInRealTime(script, *data, result);
  ASSERT_EQ(result.exitCode, 0) << result.message;
  ASSERT_GT(frames.size(), 10u);

  // A tick sends the levels of one moment: channel 1 never falls back before Clean, and channel 32
  // (moved just after channel 1 each time) is never ahead of it by more than the move under way.
  int previous = 0;
  bool cleaned = false;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const int first = frames[i].slots[0], last = frames[i].slots[31];
    if (first < previous) {
      EXPECT_EQ(first + last, 0) << i;
      cleaned = true;
    }
    if (!cleaned) {
      EXPECT_GE(first, previous) << i;
      EXPECT_TRUE(last == first || last + 1 == first) << i << ": " << first << " " << last;
    }
    previous = first;
  }
  EXPECT_TRUE(cleaned);
}

TEST(ThreadedDmxTransmit, RunJumpSpeedAndStopLeaveEveryFrameOneWholeStep) {
  auto data = std::make_unique<CConsoleData>();
  // Three steps; fade setting 0, so a run shows each step whole from its first tick.
  std::string script =
      "sysmenu 32\nslide 1007 0\nclick 1101\nslide 1004 0\nslide 1007 255\nclick 1101\nslide 1004 155\n"
      "slide 1010 0\nclick 1101\nslide 1104 0\nslide 1105 0\n";
  for (int round = 0; round < 12; ++round) {
    const std::string step = std::to_string(round % 3);
    script += "click 1102\nwait 7\nslide 1105 " + std::to_string(round % 2) + "\nwait 31\nupdown 1266 " + step +
              "\nwait 13\nclick 1102\nwait 3\nupdown 1266 " + step + "\nwait 29\n";
  }
  script += "wait 60\n";
  CScriptResult result;
  const std::vector<CDmxFrame> frames = RunInRealTime(script, *data, result);
  ASSERT_EQ(result.exitCode, 0) << result.message;
  ASSERT_GT(frames.size(), 20u);

  std::set<std::vector<std::uint8_t>> steps;
  for (std::size_t s = 0; s < 3; ++s) steps.insert({data->Store().Slot(s).begin(), data->Store().Slot(s).end()});
  steps.insert(std::vector<std::uint8_t>(142, 0));  // before the first step was composed
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_TRUE(steps.contains(PageZero(frames[i]))) << "frame " << i << " mixes steps";
  }
  // Stopped, the line shows what the faders show.
  EXPECT_FALSE(data->Player().IsRunning());
  EXPECT_EQ(PageZero(frames.back()), Screen(*data));
}

// The dialog's tick driven by a periodic thread of the test's own, 1 ms apart, while this thread
// sends the console the messages of a busy user.
TEST(ThreadedDmxTransmit, TickThreadAndGuiThreadShareTheConsoleDataSafely) {
  CRecordingLink link;
  link.DmxLinkSetMode(kLinkMark, 0, 0, kUniverseSlots);
  auto script = CScript::Parse("", "script");
  ASSERT_TRUE(script);
  CScriptHost host(std::move(*script));
  CHost::SetCurrent(&host);
  auto data = std::make_unique<CConsoleData>();
  {
    CDmxTransmit console(link, *data);
    console.CreateControls();
    console.OnInitDialog();
    const auto click = [&](int id) { console.Dispatch({EMessage::Command, id, BN_CLICKED, 0}); };
    const auto slide = [&](int id, int pos) {
      console.Item(id).SetPos(pos);
      console.Dispatch({EMessage::VScroll, id, TB_THUMBTRACK, console.Item(id).Pos()});
    };
    slide(1004, 100);
    click(CDmxTransmit::kAddButton);
    slide(1004, 0);
    click(CDmxTransmit::kAddButton);
    {
      CPeriodicThread tick(std::chrono::microseconds(1000), [&console] { console.ConsoleTick(); });
      const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
      for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        slide(CDmxTransmit::FaderId(i % 32), i % 256);
        if (i % 50 == 0) click(CDmxTransmit::kCleanButton);
        if (i % 97 == 0) {
          click(CDmxTransmit::kRunButton);
          console.Item(CDmxTransmit::kFadeSlider).SetPos(i % 7);
          console.Dispatch({EMessage::HScroll, CDmxTransmit::kFadeSlider, TB_THUMBTRACK, i % 7});
          console.Dispatch({EMessage::VScroll, CDmxTransmit::kStepSelector, SB_THUMBPOSITION, i % 2});
          std::this_thread::sleep_for(std::chrono::milliseconds(3));
          click(CDmxTransmit::kRunButton);
        }
      }
    }
    EXPECT_FALSE(data->Player().IsRunning());
    console.ConsoleTick();  // at rest: the live page takes the screen in one tick
    const auto last = link.Line().Status().lastFrame;
    ASSERT_TRUE(last);
    EXPECT_EQ(PageZero(*last), Screen(*data));
    EXPECT_GT(link.Line().Status().frameCount, 50u);
    console.Dispatch({EMessage::Destroy, 0, 0, 0});
    console.DestroyControls();
  }
  CHost::SetCurrent(nullptr);
}
