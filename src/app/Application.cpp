// Start-up: finding an interface that answers (or letting the user choose one), then the launcher.
#include "app/Application.h"

#include "app/InterfaceChooserDlg.h"
#include "app/LauncherDlg.h"
#include "framework/Host.h"
#include "link/DmxLine.h"
#include "link/LineConstants.h"
#include "outputs/OutputFactory.h"

namespace {

std::expected<void, CError> PutOnProgramLine(const std::string& name) {
  auto output = MakeOutput(name);
  if (!output) return std::unexpected(output.error());
  CDmxLine::Instance().SetOutput(std::move(*output));
  return {};
}

}  // namespace

CApplication::CApplication(CDmxLink& link, CStartOptions options)
    : m_link(link), m_options(std::move(options)), m_current(m_options.interfaceName) {
  if (!m_options.open) m_options.open = PutOnProgramLine;
  if (!m_options.ports) m_options.ports = [] { return SerialPortChoices(); };
}

bool CApplication::InitInstance() {
  // The program keeps no settings under this key: it is named, as it always was, and never used.
  m_registryKey = "应用程序向导生成的本地应用程序";

  const auto remembered = CHost::Current().ReadSetting(CInterfaceChooserDlg::kRememberedSetting);
  if (m_options.chooseFirst) {
    if (!RunChooser(m_current.empty() ? remembered.value_or("") : m_current)) return false;
  } else if (m_options.search) {
    if (const auto found = Search(); !found) {
      // The reason goes to the user, who may have started the program from a menu, not a terminal.
      CHost::Current().ShowMessageBox(
          {std::string(kNoInterfaceText) + "\n" + found.error(), kNoInterfaceCaption, EMessageIcon::Error, 0});
      if (!RunChooser(remembered.value_or(""))) return false;
    }
  } else if (!LineAnswers()) {
    CHost::Current().ShowMessageBox({kNoInterfaceText, kNoInterfaceCaption, EMessageIcon::Error, 0});
    return false;
  }
  RunLauncher();
  return false;
}

bool CApplication::LineAnswers() {
  return m_link.DmxLinkOpen(kInterfaceId, kProWidgetModel) == 0 || m_link.DmxLinkOpen(kInterfaceId, kOpenDmxModel) == 0;
}

std::expected<void, CError> CApplication::TryInterface(const std::string& name) {
  if (const auto opened = m_options.open(name); !opened) return opened;
  if (!LineAnswers()) {
    m_lineTried = true;
    return std::unexpected(CError{"No DMX interface answers on \"" + name + "\"."});
  }
  m_current = name;
  m_lineTried = false;
  return {};
}

std::expected<void, std::string> CApplication::Search() {
  std::string reasons;
  if (const auto remembered = CHost::Current().ReadSetting(CInterfaceChooserDlg::kRememberedSetting)) {
    const auto tried = TryInterface(*remembered);
    if (tried) return {};
    reasons = "The interface chosen last time, " + *remembered + ", cannot be used: " + tried.error().message + "\n";
  }
  const auto found = TryInterface("auto");
  if (found) return {};
  return std::unexpected(reasons + found.error().message);
}

bool CApplication::RunChooser(const std::string& initialName) {
  CInterfaceChooserDlg chooser(initialName, [this](const std::string& name) { return TryInterface(name); },
                               m_options.ports);
  return chooser.DoModal() == IDOK;
}

void CApplication::ChooseInterface() {
  if (RunChooser(m_current) || !m_lineTried || m_current.empty()) return;
  // Tries that did not answer replaced the interface there was: it comes back.
  if (m_options.open(m_current)) m_lineTried = false;
}

void CApplication::RunLauncher() {
  CLauncherDlg launcher(m_link, [this] { ChooseInterface(); });
  m_mainWindow = &launcher;
  launcher.DoModal();
  m_mainWindow = nullptr;
}
