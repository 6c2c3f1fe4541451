// The firmware upgrade dialog: messages, frames on the line, progress, speed, refused files.
#include "firmware/FirmwareUpgrade.h"
#include "firmware/UpgradeFile.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "UpgradeImage.h"

namespace {

using CBytes = std::vector<std::uint8_t>;

// A file of one block with tag 1 2 (or none), for the dialog to read from disk.
CBytes OneBlock(const CBytes& data, std::uint16_t chunkSize, std::array<std::uint8_t, 2> tag = {1, 2}) {
  return CUpgradeImage().Block(tag, chunkSize, 0x44332211, data).Bytes();
}

std::string WriteTemp(const std::string& name, const CBytes& bytes) {
  return WriteFile(::testing::TempDir() + "vexmira_fw_" + name, bytes);
}

using CRuns = std::vector<std::pair<std::string, int>>;

// The frames on the line as runs of equal frames: kind "idle", "end" or "data N@offset:first byte".
CRuns Runs(const std::vector<CDmxFrame>& frames) {
  CBytes idle(559, 0);
  idle.front() = idle.back() = 1;
  CRuns runs;
  for (const auto& frame : frames) {
    const auto& f = frame.slots;
    const std::string kind = frame.startCode == 0xF9 && f == idle ? "idle"
                             : f[6] == 0xFF && f[9] == 0xFF       ? "end"
                                                                  : "data " + std::to_string(f[10]) + "@" +
                                                                        std::to_string(f[6]) + ":" + std::to_string(f[12]);
    if (!runs.empty() && runs.back().first == kind) ++runs.back().second;
    else runs.push_back({kind, 1});
  }
  return runs;
}

}  // namespace

TEST(FirmwareUpgrade, OpensWithTheIdleFrameAndTheUpgradeMode) {
  const CScriptRun run = RunDialogScript<CFirmwareUpgrade>(
      "expect dialog 131\nexpect title \"Firmware Upgrade V2.0\"\nexpect icon 139\nexpect text 1273 \"100\"\n"
      "expect pos 1004 1\nexpect range 1004 1 100\nexpect hidden 1272\nexpect frames 0\nwait 35\nexpect frames 1\n"
      "expect frame 0xF9 559 1=1 2=0 558=0 559=1\nwait 350\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  const auto calls = Describe(run.calls);
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 5),
            (std::vector<std::string>{"SetMode(165, 249, 6, 559)", "SetPageValue(0)", "SetPageValue(1)",
                                      "SetPageValue(2)", "SetPageValue(3)"}));
  EXPECT_EQ(calls.back(), "StandBy()");
  EXPECT_EQ(Runs(run.frames), (CRuns{{"idle", 11}}));
}

TEST(FirmwareUpgrade, TransferHoldsFramesAndShowsProgressThenFinishes) {
  const std::string path = WriteTemp("small.zku", OneBlock({0xAA, 0xBB, 0xCC}, 2, {0x10, 0x20}));
  const CScriptRun run = RunDialogScript<CFirmwareUpgrade>(
      "type 1005 \"" + path + "\"\nclick 1001\nexpect visible 1272\nexpect range 1272 0 3\nexpect pos 1272 2\n"
      "wait 2975\n"          // 85 ticks: the first frame's hold ends, the short last chunk is built
      "expect pos 1272 3\n"  // the whole total before the block end frame has gone out
      "expect no-message\n"
      "wait 280\n"           // the block end frame, then the finish on the next change
      "expect message \"      Firmware upgrade finish!\" none\nexpect hidden 1272\n"
      "wait 245\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(run.boxes.at(0).ownerResourceId, 131);
  // Ticks 1-2 quiet, 3-84 the first frame (85 - 3 times), tick 85 builds the next, 86-87 quiet,
  // 88 sends it once (4 - 3), 89 builds the block end, 92 sends it, 93 finishes, 94-100 idle.
  EXPECT_EQ(Runs(run.frames), (CRuns{{"data 2@0:170", 82}, {"data 1@2:204", 1}, {"end", 1}, {"idle", 7}}));
  // The block end carries the block's length, word and tag.
  const auto& end = run.frames[83].slots;
  EXPECT_EQ((CBytes{end[516], end[519], end[523]}), (CBytes{3, 0x11, 0x20}));
  // Every frame of the transfer is 35 ms after the one before it on the line, idle or not.
  EXPECT_EQ(run.frames[1].timeUs - run.frames[0].timeUs, 35'000);
}

TEST(FirmwareUpgrade, RefusedFilesSayWhyAndSendNothingOfThem) {
  CBytes wrongSignature = OneBlock({5}, 1);
  wrongSignature[37] = 0x0D;
  CBytes trailing = OneBlock({5}, 1);
  trailing.push_back(0);
  std::string script =
      "click 1001\nexpect message \"Upgrade file no specify!\" warning\ntype 1005 \"/no/such/file.zku\"\nclick 1001\n"
      "expect message \"\\\"/no/such/file.zku\\\" open error!\" warning\n";
  // The reader's checks, one file of each class; their messages are the reader's own.
  const std::vector<CBytes> refused{CBytes{'Z', 'e', 'l'}, wrongSignature, trailing, CUpgradeImage().Bytes(),
                                    OneBlock({5}, 513), OneBlock({5}, 0)};
  for (std::size_t i = 0; i < refused.size(); ++i) {
    const std::string path = WriteTemp("refused" + std::to_string(i) + ".zku", refused[i]);
    auto parsed = CUpgradeFile::Parse(refused[i]);
    ASSERT_FALSE(parsed) << i;
    script += "type 1005 \"" + path + "\"\nclick 1001\nexpect message \"" + parsed.error().message + "\" warning\n";
  }
  const CScriptRun run = RunDialogScript<CFirmwareUpgrade>(script + "expect hidden 1272\nwait 700\nexpect no-message\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Runs(run.frames), (CRuns{{"idle", 20}}));
}

TEST(FirmwareUpgrade, ARefusedFileDuringATransferLeavesItRunningToItsFinish) {
  const std::string good = WriteTemp("good.zku", OneBlock({0xAA}, 1, {0x10, 0x20}));
  const std::string bad = WriteTemp("bad2.zku", CBytes(50, 0x5A));
  const CScriptRun run = RunDialogScript<CFirmwareUpgrade>(
      "type 1005 \"" + good + "\"\nclick 1001\nwait 1050\ntype 1005 \"" + bad + "\"\nclick 1001\n"
      "expect message \"Upgrade file format error!\"\nexpect visible 1272\nwait 2100\n"
      "expect message \"      Firmware upgrade finish!\"\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(Runs(run.frames), (CRuns{{"data 1@0:170", 82}, {"end", 1}, {"idle", 1}}));
}

TEST(FirmwareUpgrade, SpeedSliderSetsTheHoldAndCutsTheFrameOnTheLine) {
  const std::string path = WriteTemp("speed.zku", OneBlock({7, 8}, 1));
  const CScriptRun run = RunDialogScript<CFirmwareUpgrade>(
      "slide 1004 100\nexpect text 1273 \"1\"\nslide 1004 50 TB_ENDTRACK\nexpect text 1273 \"51\"\n"
      "slide 1004 1 TB_TOP\n"  // the Home key
      "expect text 1273 \"100\"\nslide 1004 7\ntype 1005 \"" + path + "\"\nclick 1001\n"
      "wait 350\n"           // 10 ticks of the first frame's 85
      "slide 1004 2\n"       // hold 5: the first frame's countdown is cut from 75 to 5
      "wait 700\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  // The first frame goes out on ticks 3 to 14 (its frame hold is still 85), the second and the
  // block end frame (hold 5) twice each; the finish on tick 25 leaves the idle frame.
  EXPECT_EQ(Runs(run.frames), (CRuns{{"data 1@0:7", 12}, {"data 1@1:8", 2}, {"end", 2}, {"idle", 5}}));
}

namespace {
// An interface that cannot send frames longer than 512 slots.
class CShortFramesOutput final : public CDmxOutput {
 public:
  bool Answers(int, int) override { return true; }
  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override {
    if (mode.length > 512) return std::unexpected(CError{"at most 512 slots"});
    return {};
  }
  void Send(const CDmxFrame&) override {}
  std::string Name() const override { return "short"; }
};
}  // namespace

TEST(FirmwareUpgrade, AnInterfaceThatCannotSendUpgradeFramesIsNamedNotFaked) {
  const std::string path = WriteTemp("short.zku", OneBlock({7}, 1));
  const CScriptRun run = RunScript(
      "expect message \"This DMX interface cannot send firmware upgrade frames: at most 512 slots\" warning\n"
      "type 1005 \"" + path + "\"\nclick 1001\n"
      "expect message \"This DMX interface cannot send firmware upgrade frames: at most 512 slots\"\n"
      "expect hidden 1272\nwait 3500\nexpect no-message\n"
      "expect frames 0\n",
      [](CDmxLink& link) {
        CFirmwareUpgrade upgrade(link);
        upgrade.DoModal();
      },
      std::make_unique<CShortFramesOutput>());
  EXPECT_TRUE(run.Passed()) << run.result.message;
}

TEST(FirmwareUpgrade, ClosingDuringATransferStandsByOnceWithoutAMessage) {
  const std::string path = WriteTemp("close.zku", OneBlock(CBytes(40, 9), 8));
  const CScriptRun run = RunDialogScript<CFirmwareUpgrade>(
      "type 1005 \"" + path + "\"\nclick 1001\nwait 500\nclose\nwait 500\nexpect no-message\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  EXPECT_EQ(CallsOf(run.calls, ELinkCall::StandBy).size(), 1u);
  EXPECT_EQ(Describe(run.calls).back(), "StandBy()");
  EXPECT_EQ(run.frames.size(), 12u);  // 14 ticks, the first two after the change quiet
}
