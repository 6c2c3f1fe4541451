// Manual address assignment: fixture by fixture, after a five-second waiting phase.
#pragma once
#include "addressing/FixtureAddressing.h"
#include "framework/Dialog.h"
#include "link/DmxLink.h"

class CManualAddressingDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 136;
  static constexpr int kFixtureLabel = 1006;
  static constexpr int kAddressField = 1005;
  static constexpr int kAddressLabel = 1009;
  static constexpr int kWaitText = 1012;
  static constexpr int kAddressBar = 1100;  // position p stands for address p + 1
  static constexpr int kFixtureField = 1008;
  static constexpr int kSaveButton = 1000;
  static constexpr int kFixtureBar = 1271;  // position p stands for fixture number p + 1
  static constexpr int kProgressBar = 1272;
  static constexpr int kTimer = 1;
  static constexpr int kTickMs = CWaitingPhase::kTickMs;
  static constexpr int kAddressBarTop = 511;
  static constexpr int kFixtureBarTop = CFixtureAddressing::kFixtureCount - 1;
  static const CDialogTemplate& Layout();

  // The engine hands the blank frame to the line and sets the waiting frames' mode.
  explicit CManualAddressingDlg(CDmxLink& link);
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

 private:
  void OnSave();
  void OnAddressFieldLeft();
  void OnFixtureFieldLeft();
  void OnHScroll(int id, int code, int pos);
  void OnTimer(int timerId);
  void OnDestroy();
  // Tests the address field; out of range it says so, empties the field and returns the
  // focus to it. An empty field passes untested.
  bool CheckAddressField();
  // The end of the waiting phase: the working controls replace the progress bar.
  void ShowAddressing();
  // The address field shows the fixture's saved address (fixture number), or nothing if none is saved.
  void ShowSavedAddress(int fixture);

  CFixtureAddressing m_engine;
};
