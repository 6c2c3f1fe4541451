// Manual address assignment: fixture by fixture, after a five-second waiting phase.
#pragma once
#include "addressing/FixtureAddressFrame.h"
#include "framework/Dialog.h"
#include "link/DmxLink.h"

class CFixtureStandardSetup final : public CDialog {
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
  static constexpr int kTickMs = 25;
  static constexpr int kAddressBarTop = 511;
  static constexpr int kFixtureBarTop = CFixtureAddressFrame::kFixtureCount - 1;
  static const CDialogTemplate& Layout();

  // Hands the all-zero frame to the line and sets the waiting frames' mode.
  explicit CFixtureStandardSetup(CDmxLink& link);
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
  void BeginAddressing();
  // The address field shows the fixture's saved address, or nothing if none is saved.
  void ShowSavedAddress(int fixture);

  CFixtureAddressFrame m_frame;
  CDmxLink& m_link;
};
