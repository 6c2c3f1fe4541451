// The console tick on a real thread of its own while this thread works the console.
#include <set>
#include <thread>

#include "ConsoleTestSupport.h"
#include "framework/PeriodicThread.h"

// Runs, speed changes, jumps, stops, selections and fader moves against the tick, at a fade of 0: every frame
// shows one whole step, and a step change can be looked at from the tick's thread as the dialog does later.
TEST(ThreadedConsoleEngine, EveryTickSendsOneWholeStepWhileTheGuiThreadWorksTheConsole) {
  CConsole c;
  std::atomic<int> shown{0};
  c.engine->OnStepChanged([&] { shown = c.engine->PanelState().currentStep + 1; });
  Do(c, "level 10 add level 20 add level 30 add fade 0");
  const std::string rounds[] = {"run", "speed 1 select 2", "select 0", "run select 1", "speed 0 select 3"};
  {
    CPeriodicThread tick(std::chrono::microseconds(500), [&c] { c.engine->Tick(); });
    for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(std::chrono::microseconds(300))) {
      Do(c, rounds[i % 5]);
      c.engine->SetLevel(142 + i % 370, static_cast<std::uint8_t>(c.engine->Level(142) + 1));
    }
  }
  const std::set<CChaseStep> steps = {StepWith({{0, 10}}), StepWith({{0, 20}}), StepWith({{0, 30}})};
  const std::vector<CDmxFrame> frames = c.link.Frames();
  ASSERT_GT(frames.size(), 100u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    CChaseStep page;
    std::copy_n(frames[i].slots.begin(), kStepSize, page.begin());
    ASSERT_TRUE(steps.contains(page)) << "frame " << i << " mixes steps";
  }
  EXPECT_GT(shown.load(), 0);
}
