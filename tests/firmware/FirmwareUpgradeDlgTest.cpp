// The firmware upgrade dialog's wiring: buttons, path box, slider, progress bar and messages.
#include "firmware/FirmwareUpgradeDlg.h"
#include "support/ScriptRun.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// 600 bytes in 512-byte chunks, then an empty block.
const std::string kFile = VEXMIRA_SOURCE_DIR "/tests/scenarios/firmware-small.zku";

// An interface that sends at most 512 slots.
struct CShortFramesOutput final : CDmxOutput {
  bool Answers(int, int) override { return true; }
  std::expected<void, CError> AcceptsMode(const CDmxMode& mode) override {
    return mode.length > 512 ? std::unexpected(CError{"at most 512 slots"}) : std::expected<void, CError>{};
  }
  void Send(const CDmxFrame&) override {}
  std::string Name() const override { return "short"; }
};

using D = CFirmwareUpgradeDlg;

// The script with the dialog's controls named.
std::string Named(const std::string& script) {
  return WithIds(script, {{"open", D::kOpen}, {"upgrade", D::kUpgrade}, {"speed", D::kSpeedSlider}, {"path", D::kPath},
                          {"progress", D::kProgress}, {"speedNumber", D::kSpeedNumber}});
}

}  // namespace

TEST(FirmwareUpgradeDlg, ControlsReachTheTransferAndItsStateAndRefusalsReachTheUser) {
  // Slider at 2 (hold 5) cuts the first frame: the last chunk follows at tick 15, whatever was refused meanwhile.
  const CScriptRun run = RunDialogScript<D>(Named(
      "expect icon 139\nexpect hidden {progress}\nfile \"" + kFile + "\"\nclick {open}\nfile cancel\nclick {open}\n"
      "expect text {path} \"" + kFile + "\"\nclick {upgrade}\nexpect visible {progress}\nwait 350\nslide {speed} 2\n"
      "expect text {speedNumber} \"99\"\ntype {path} \"/no/such/file.zku\"\nclick {upgrade}\n"
      "expect message \"\\\"/no/such/file.zku\\\" open error!\" warning\n"
      "type {path} \"" VEXMIRA_SOURCE_DIR "/CMakeLists.txt\"\nclick {upgrade}\n"
      "expect message \"Upgrade file format error!\" warning\nwait 175\nexpect pos {progress} 600\nwait 3500\n"
      "slide {speed} 1 TB_TOP\nexpect text {speedNumber} \"100\"\nclose\n"));
  const CFileDialog& open = run.fileDialogs.at(0);
  EXPECT_EQ(open.defaultExtension + " " + open.initialName + " " + open.filter,
            "zku *.zku Zelkar Firmware Files (*.zku)|*.zku||");
  EXPECT_TRUE(open.kind == EFileDialogKind::Open && open.hideReadOnly && open.fileMustExist);
  EXPECT_EQ(Describe(run.calls).back(), "StandBy()");
}

TEST(FirmwareUpgradeDlg, AnInterfaceThatCannotSendUpgradeFramesIsNamedNotFaked) {
  const std::string refusal =
      "expect message \"This DMX interface cannot send firmware upgrade frames: at most 512 slots\" warning\n";
  const CScriptRun run = RunScript(
      Named(refusal + "type {path} \"" + kFile + "\"\nclick {upgrade}\n" + refusal +
            "expect hidden {progress}\nwait 3500\nexpect frames 0\n"),
      [](CDmxLink& link) { CFirmwareUpgradeDlg(link).DoModal(); }, std::make_unique<CShortFramesOutput>());
  EXPECT_TRUE(run.Passed()) << run.result.message;
}

// No (close asked, the transfer goes on) and a question withdrawn by the transfer's end are scenarios.
TEST(FirmwareUpgradeDlg, ClosingDuringATransferOnYesStopsItSaysSoAndStandsTheLineBy) {
  const CScriptRun run = RunDialogScript<D>(Named(
      "type {path} \"" + kFile + "\"\nclick {upgrade}\nwait 700\nanswer yes\nclose\nexpect message warning\n"
      "expect message \"The firmware upgrade was stopped.\" information\nexpect frames 18\nwait 700\n"
      "expect frames 18\n"));
  EXPECT_EQ(std::ranges::count(Describe(run.calls), "StandBy()"), 1);
}
