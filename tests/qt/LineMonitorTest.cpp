// The line monitor shows the last frame of its line: start code, slot count, rate and levels.
#include "link/DmxLine.h"
#include "link/LineConstants.h"
#include "outputs/OutputFactory.h"
#include "qt/LineMonitor.h"

#include <QLabel>
#include <gtest/gtest.h>

TEST(LineMonitor, ShowsStartCodeSlotCountRateAndLevelsOfTheLastFrame) {
  CDmxLine line;
  line.SetOutput(std::move(*MakeOutput("virtual")));
  std::int64_t now = 0;
  line.SetClock([&now] { return now; });
  CLineMonitor monitor(line);
  const auto texts = [&] {
    monitor.Refresh();
    QStringList shown;
    for (const QLabel* label : monitor.findChildren<QLabel*>()) shown << label->text();
    return shown.join("|");
  };
  EXPECT_TRUE(texts().contains("Start code:|-|Slots:|-|")) << texts().toStdString();
  EXPECT_TRUE(texts().contains("stand-by"));
  line.DmxLinkSetMode(kLinkMark, 0xF6, 0, 24);
  for (int frame = 0; frame < 40; ++frame, now += 25'000)  // a second at 40 frames a second
    line.DmxLinkTransmitStartWithChannelValue(2, frame);
  now -= 25'000;
  EXPECT_TRUE(texts().contains("Start code:|0xF6|Slots:|24|Rate:|40.0 frames/s|Line:|sending"))
      << texts().toStdString();
  const std::vector<std::uint8_t> levels = monitor.Grid().Levels();
  ASSERT_EQ(levels.size(), 24u);
  EXPECT_EQ(levels[2], 39);
}
