// The interface chooser: a serial port, a network node or the virtual line, tried as it is chosen.
#pragma once
#include "app/SerialPortChoices.h"
#include "base/Error.h"
#include "framework/Dialog.h"

#include <expected>
#include <functional>
#include <string>
#include <vector>

// The dialog composes an interface name, as --interface takes it, from its fields; the user may
// also type one. Use tries the name at once (the program puts it on the line and runs the
// start-up check); one that does not work is said and the dialog stays. It offers to remember
// the choice for the next start.
class CInterfaceChooserDlg final : public CDialog {
 public:
  static constexpr int kResourceId = 140;
  static constexpr const char* kRememberedSetting = "Interface/choice";

  // Control ids.
  static constexpr int kKind = 1000;
  static constexpr int kPort = 1001;
  static constexpr int kLookAgain = 1002;
  static constexpr int kDrivenAs = 1003;
  static constexpr int kUniverse = 1004;
  static constexpr int kPriority = 1005;
  static constexpr int kHost = 1006;
  static constexpr int kLocalInterface = 1007;
  static constexpr int kPerAddress = 1008;
  static constexpr int kName = 1009;
  static constexpr int kRemember = 1010;
  static constexpr int kUse = 1011;

  // The kinds, in the order the kind list shows them.
  enum EKind : int { kSerial, kAuto, kSacn, kArtNet, kVirtual };

  using Try = std::function<std::expected<void, CError>(const std::string& name)>;
  using PortLister = std::function<std::vector<CSerialPortChoice>()>;

  static const CDialogTemplate& Layout();

  // `initialName`: the interface to show first (the remembered one, or the one in use); empty for
  // none. `tryName` puts a name on the line and checks that it answers.
  CInterfaceChooserDlg(std::string initialName, Try tryName, PortLister ports = [] { return SerialPortChoices(); });
  bool OnInitDialog() override;
  const CMessageTable& MessageTable() const override;

  // The interface that worked, once the dialog has ended with IDOK.
  const std::string& Chosen() const { return m_chosen; }

 private:
  void OnKindChanged();
  void OnFieldChanged();
  void OnLookAgain();
  void OnUse();

  void ListPorts();
  // The fields the chosen kind uses are enabled, the others not.
  void EnableFields();
  // The name from the fields, into the name field.
  void Compose();
  std::string Field(int id) const;

  std::string m_initialName;
  Try m_try;
  PortLister m_listPorts;
  std::vector<CSerialPortChoice> m_ports;
  std::string m_chosen;
};
