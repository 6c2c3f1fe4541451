// The firmware upgrade dialog's wiring: buttons, path box, slider, progress bar and messages.
#include "firmware/FirmwareUpgrade.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include "UpgradeFiles.h"

TEST(FirmwareUpgrade, ControlsReachTheTransferAndItsStateAndRefusalsReachTheUser) {
  const std::string path = WriteTempFile("wired.zku", CUpgradeImage().Block({1, 2}, 2, 0, {1, 2, 3}).bytes);
  const std::string bad = WriteTempFile("bad.zku", CBytes(50, 0x5A));
  const CScriptRun run = RunDialogScript<CFirmwareUpgrade>(
      "expect icon 139\nexpect text 1273 \"100\"\nexpect hidden 1272\nclick 1001\n"
      "expect message \"Upgrade file no specify!\" warning\nfile \"" + path + "\"\nclick 1000\nfile cancel\n"
      "click 1000\nexpect text 1005 \"" + path + "\"\nclick 1001\nexpect visible 1272\nexpect range 1272 0 3\n"
      "expect pos 1272 2\nwait 350\nslide 1004 2\nexpect text 1273 \"99\"\n"  // hold 5: the first frame is cut
      "type 1005 \"/no/such/file.zku\"\nclick 1001\nexpect message \"\\\"/no/such/file.zku\\\" open error!\" warning\n"
      "type 1005 \"" + bad + "\"\nclick 1001\nexpect message \"Upgrade file format error!\" warning\n"
      "wait 175\nexpect pos 1272 3\nexpect no-message\nwait 350\n"
      "expect message \"      Firmware upgrade finish!\" none\nexpect hidden 1272\n"
      "slide 1004 100\nexpect text 1273 \"1\"\nslide 1004 1 TB_TOP\nexpect text 1273 \"100\"\nclose\n");
  ASSERT_TRUE(run.Passed()) << run.result.message;
  const CFileDialog& open = run.fileDialogs.at(0);
  EXPECT_EQ(open.defaultExtension + " " + open.initialName + " " + open.filter,
            "zku *.zku Zelkar Firmware Files (*.zku)|*.zku||");
  EXPECT_TRUE(open.kind == EFileDialogKind::Open && open.hideReadOnly && open.fileMustExist);
  EXPECT_EQ(run.boxes.back().ownerResourceId, 131);
  // The refused files left the transfer going: its first frame on ticks 3 to 14 (the slider cut
  // its hold), then the second chunk and the block end twice each, then the finish.
  EXPECT_EQ(run.frames.size(), 12u + 2 + 2);
  EXPECT_EQ(CallsOf(run.calls, ELinkCall::StandBy).size(), 1u);
  EXPECT_EQ(Describe(run.calls).back(), "StandBy()");
}

namespace {
// An interface that cannot send frames longer than 512 slots.
struct CShortFramesOutput final : CDmxOutput {
  bool Answers(int, int) override { return true; }
  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override {
    return mode.length > 512 ? std::unexpected(CError{"at most 512 slots"}) : std::expected<void, CError>{};
  }
  void Send(const CDmxFrame&) override {}
  std::string Name() const override { return "short"; }
};
}  // namespace

TEST(FirmwareUpgrade, AnInterfaceThatCannotSendUpgradeFramesIsNamedNotFaked) {
  const std::string refusal = "\"This DMX interface cannot send firmware upgrade frames: at most 512 slots\" warning\n";
  const std::string path = WriteTempFile("short.zku", CUpgradeImage().Block({1, 2}, 1, 0, {1}).bytes);
  const CScriptRun run = RunScript("expect message " + refusal + "type 1005 \"" + path + "\"\nclick 1001\nexpect message " +
                                       refusal + "expect hidden 1272\nwait 3500\nexpect no-message\nexpect frames 0\n",
                                   [](CDmxLink& link) { CFirmwareUpgrade(link).DoModal(); },
                                   std::make_unique<CShortFramesOutput>());
  EXPECT_TRUE(run.Passed()) << run.result.message;
}
