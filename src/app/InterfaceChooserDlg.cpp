// The interface chooser dialog: its layout, the name composed from its fields, and trying it.
#include "app/InterfaceChooserDlg.h"

#include "framework/Resources.h"

#include <algorithm>

namespace {

using K = EControlKind;
namespace S = ControlStyle;

constexpr unsigned kListStyle = S::kDropDown | S::kVScroll;
constexpr unsigned kFieldStyle = S::kBorder | S::kAutoHScroll;
constexpr const char* kNoNameText = "Choose an interface, or type its name as --interface takes it.";

// The kind each name's start stands for.
struct CKindPrefix {
  const char* prefix;
  int kind;
};
constexpr CKindPrefix kPrefixes[] = {{"opendmx:", CInterfaceChooserDlg::kSerial},
                                     {"pro:", CInterfaceChooserDlg::kSerial},
                                     {"auto", CInterfaceChooserDlg::kAuto},
                                     {"sacn:", CInterfaceChooserDlg::kSacn},
                                     {"artnet:", CInterfaceChooserDlg::kArtNet},
                                     {"virtual", CInterfaceChooserDlg::kVirtual}};

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') + 1 - first);
}

}  // namespace

const CDialogTemplate& CInterfaceChooserDlg::Layout() {
  using D = CInterfaceChooserDlg;
  static const CDialogTemplate layout{
      kResourceId, "DMX Interface", 286, 199, "MS Shell Dlg", 8,
      DialogStyle::kSysMenu | DialogStyle::kModalFrame,
      {
          {IDC_STATIC, K::Static, {7, 9, 63, 8}, "Interface kind:"},
          {D::kKind, K::ComboBox, {74, 7, 205, 70}, "", kListStyle},
          {IDC_STATIC, K::GroupBox, {7, 24, 272, 46}, "USB serial adapter"},
          {IDC_STATIC, K::Static, {14, 38, 56, 8}, "Port:"},
          {D::kPort, K::ComboBox, {74, 36, 150, 80}, "", kListStyle},
          {D::kLookAgain, K::PushButton, {228, 35, 44, 14}, "Look again"},
          {IDC_STATIC, K::Static, {14, 54, 56, 8}, "Driven as:"},
          {D::kDrivenAs, K::ComboBox, {74, 52, 198, 40}, "", kListStyle},
          {IDC_STATIC, K::GroupBox, {7, 74, 272, 84}, "Network node"},
          {IDC_STATIC, K::Static, {14, 88, 56, 8}, "Universe:"},
          {D::kUniverse, K::Edit, {74, 86, 40, 12}, "1", kFieldStyle | S::kDigitsOnly},
          {IDC_STATIC, K::Static, {124, 88, 34, 8}, "Priority:"},
          {D::kPriority, K::Edit, {160, 86, 30, 12}, "", kFieldStyle | S::kDigitsOnly},
          {IDC_STATIC, K::Static, {196, 88, 76, 8}, "(sACN, 0 to 200)"},
          {IDC_STATIC, K::Static, {14, 104, 56, 8}, "Host:"},
          {D::kHost, K::Edit, {74, 102, 198, 12}, "", kFieldStyle},
          {IDC_STATIC, K::Static, {74, 117, 198, 8}, "Empty: every node on the network"},
          {IDC_STATIC, K::Static, {14, 132, 56, 8}, "Local interface:"},
          {D::kLocalInterface, K::Edit, {74, 130, 90, 12}, "", kFieldStyle},
          {IDC_STATIC, K::Static, {168, 132, 104, 8}, "Empty: the system chooses"},
          {D::kPerAddress, K::CheckBox, {74, 144, 198, 10}, "Priority per address (sACN)"},
          {IDC_STATIC, K::Static, {7, 164, 63, 8}, "Interface name:"},
          {D::kName, K::Edit, {74, 162, 205, 12}, "", kFieldStyle},
          {D::kRemember, K::CheckBox, {7, 180, 150, 10}, "Remember this choice"},
          {D::kUse, K::PushButton, {173, 178, 50, 14}, "Use"},
          {IDCANCEL, K::PushButton, {229, 178, 50, 14}, "Cancel"},
      }};
  return layout;
}

CInterfaceChooserDlg::CInterfaceChooserDlg(std::string initialName, Try tryName, PortLister ports)
    : CDialog(Layout()), m_initialName(std::move(initialName)), m_try(std::move(tryName)),
      m_listPorts(std::move(ports)) {}

const CMessageTable& CInterfaceChooserDlg::MessageTable() const {
  using D = CInterfaceChooserDlg;
  static const CMessageTable table = CMessageTableOf<D>()
                                         .Command(CBN_SELCHANGE, kKind, &D::OnKindChanged)
                                         .Command(CBN_SELCHANGE, kPort, &D::OnFieldChanged)
                                         .Command(CBN_SELCHANGE, kDrivenAs, &D::OnFieldChanged)
                                         .Command(EN_CHANGE, kUniverse, &D::OnFieldChanged)
                                         .Command(EN_CHANGE, kPriority, &D::OnFieldChanged)
                                         .Command(EN_CHANGE, kHost, &D::OnFieldChanged)
                                         .Command(EN_CHANGE, kLocalInterface, &D::OnFieldChanged)
                                         .Command(BN_CLICKED, kPerAddress, &D::OnFieldChanged)
                                         .Command(BN_CLICKED, kLookAgain, &D::OnLookAgain)
                                         .Command(BN_CLICKED, kUse, &D::OnUse);
  return table;
}

bool CInterfaceChooserDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetIcon(kProgramIcon, true);
  SetIcon(kProgramIcon, false);
  for (const char* kind : {"USB serial adapter", "Find a USB adapter (auto)", "sACN (E1.31) network node",
                           "Art-Net network node", "Virtual line (no hardware)"})
    Item(kKind).AddItem(kind);
  for (const char* driven : {"Open DMX adapter (the computer makes the timing)", "DMX USB Pro-style widget"})
    Item(kDrivenAs).AddItem(driven);
  Item(kDrivenAs).SetSelection(m_initialName.starts_with("pro:") ? 1 : 0);
  ListPorts();
  Item(kRemember).SetChecked(CHost::Current().ReadSetting(kRememberedSetting).has_value());

  // The kind of the name shown first; with none, an adapter if one is plugged in, else the
  // virtual line, which always works.
  int kind = m_ports.empty() ? kVirtual : kSerial;
  for (const CKindPrefix& prefix : kPrefixes)
    if (m_initialName.starts_with(prefix.prefix)) kind = prefix.kind;
  Item(kKind).SetSelection(kind);
  EnableFields();
  if (m_initialName.empty()) Compose();
  else SetItemText(kName, m_initialName);
  return true;
}

void CInterfaceChooserDlg::ListPorts() {
  m_ports = m_listPorts();
  CControl& list = Item(kPort);
  list.ClearItems();
  int selected = 0;
  for (std::size_t i = 0; i < m_ports.size(); ++i) {
    list.AddItem(m_ports[i].label);
    if (m_initialName.ends_with(":" + m_ports[i].path)) selected = static_cast<int>(i);
  }
  if (!m_ports.empty()) list.SetSelection(selected);
}

void CInterfaceChooserDlg::EnableFields() {
  const int kind = Item(kKind).Selection();
  const bool serial = kind == kSerial, network = kind == kSacn || kind == kArtNet;
  for (const int id : {kPort, kLookAgain, kDrivenAs}) EnableItem(id, serial);
  for (const int id : {kUniverse, kHost, kLocalInterface}) EnableItem(id, network);
  for (const int id : {kPriority, kPerAddress}) EnableItem(id, kind == kSacn);
}

std::string CInterfaceChooserDlg::Field(int id) const { return Trimmed(ItemText(id)); }

// Options are named only when the user gave them, so the outputs' own defaults apply otherwise.
void CInterfaceChooserDlg::Compose() {
  std::string name;
  const int port = Item(kPort).Selection();
  switch (Item(kKind).Selection()) {
    case kSerial:
      if (port >= 0) name = (Item(kDrivenAs).Selection() == 1 ? "pro:" : "opendmx:") + m_ports[static_cast<std::size_t>(port)].path;
      break;
    case kAuto: name = "auto"; break;
    case kSacn:
    case kArtNet: {
      const bool sacn = Item(kKind).Selection() == kSacn;
      // Appended piece by piece: each option only when its field is filled.
      const auto option = [&name](const char* lead, const std::string& value) {
        if (value.empty()) return;
        name += lead;
        name += value;
      };
      name = sacn ? "sacn:" : "artnet:";
      name += Field(kUniverse);
      option("@", Field(kHost));
      if (sacn) option(",priority=", Field(kPriority));
      option(",iface=", Field(kLocalInterface));
      if (sacn && Item(kPerAddress).IsChecked()) name += ",per-address";
      break;
    }
    case kVirtual: name = "virtual"; break;
    default: break;
  }
  SetItemText(kName, name);
}

void CInterfaceChooserDlg::OnKindChanged() {
  EnableFields();
  Compose();
}

void CInterfaceChooserDlg::OnFieldChanged() { Compose(); }

// An adapter plugged in while the chooser is open.
void CInterfaceChooserDlg::OnLookAgain() {
  ListPorts();
  Compose();
}

void CInterfaceChooserDlg::OnUse() {
  const std::string name = Field(kName);
  if (name.empty()) {
    MessageBox(kNoNameText, EMessageIcon::Warning);
    return;
  }
  if (const auto tried = m_try(name); !tried) {
    MessageBox(tried.error().message, EMessageIcon::Warning);
    return;
  }
  const bool remember = Item(kRemember).IsChecked();
  CHost::Current().WriteSetting(kRememberedSetting, remember ? std::optional<std::string>(name) : std::nullopt);
  m_chosen = name;
  EndDialog(IDOK);
}
