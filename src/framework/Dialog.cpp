// CDialog: controls from the template, message routing, default handling.
#include "framework/Dialog.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>

CDialog::CDialog(const CDialogTemplate& dialogTemplate)
    : m_template(dialogTemplate), m_title(dialogTemplate.title), m_alive(std::make_shared<CDialog*>(this)) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
  m_ended = false;
  m_result = 0;
  return CHost::Current().RunModal(*this);
}

const CMessageTable& CDialog::MessageTable() const {
  static const CMessageTable empty;
  return empty;
}

void CDialog::Dispatch(const CMessage& message) {
  for (const auto& entry : MessageTable()) {
    if (entry.Matches(message)) {
      entry.handler(*this, message);
      return;
    }
  }
  DefaultHandling(message);
}

void CDialog::DefaultHandling(const CMessage& message) {
  switch (message.kind) {
    case EMessage::Close:
      EndDialog(IDCANCEL);
      break;
    case EMessage::Command:
      if (message.code == BN_CLICKED && (message.id == IDOK || message.id == IDCANCEL)) EndDialog(message.id);
      break;
    case EMessage::SysCommand:
      if ((message.id & 0xFFF0) == SC_CLOSE) Dispatch({EMessage::Close, 0, 0, 0});
      break;
    case EMessage::Key:
      if (message.code != 0) break;
      if (message.id == VK_ESCAPE) Dispatch({EMessage::Close, 0, 0, 0});
      if (message.id == VK_RETURN) PressDefaultButton();
      break;
    default:
      break;
  }
}

// Enter outside a push button presses the default push button, where the dialog has one (the
// about box). Anywhere else it does nothing: a dialog whose work a key press would end or throw
// away is only closed by Escape or the close box, with the questions it asks there.
void CDialog::PressDefaultButton() {
  for (const auto& control : m_controls) {
    if (control->Kind() != EControlKind::DefPushButton) continue;
    if (control->IsVisible() && control->IsEnabled())
      Dispatch({EMessage::Command, control->Id(), BN_CLICKED, 0});
    return;
  }
}

void CDialog::EndDialog(int result) {
  m_ended = true;
  m_result = result;
}

void CDialog::ForceClose() {
  Dispatch({EMessage::Close, 0, 0, 0});
  if (!m_ended) EndDialog(IDCANCEL);
}

void CDialog::SetTitle(std::string title) {
  if (title == m_title) return;
  m_title = std::move(title);
  Changed(EDialogChange::Title);
}

void CDialog::CreateControls() {
  assert(m_controls.empty());
  for (const auto& t : m_template.controls)
    m_controls.push_back(std::make_unique<CControl>(t.id, t.kind, t.rect, t.text, t.style, t.visible, t.enabled));
}

void CDialog::DestroyControls() {
  m_controls.clear();
  m_focusId = 0;
}

CControl* CDialog::FindItem(int id) {
  for (auto& control : m_controls)
    if (control->Id() == id) return control.get();
  return nullptr;
}

CControl& CDialog::Item(int id) {
  CControl* control = FindItem(id);
  if (!control) {
    // A dialog naming a control its template lacks, or using one after its window is gone.
    std::fprintf(stderr, "dialog %d has no control %d\n", ResourceId(), id);
    std::abort();
  }
  return *control;
}

const CControl& CDialog::Item(int id) const { return const_cast<CDialog*>(this)->Item(id); }

void CDialog::SetFocus(int id) {
  if (id == m_focusId) return;
  m_focusId = id;
  Changed(EDialogChange::Focus);
}

void CDialog::SetDefaultFocus() {
  for (const auto& control : m_controls) {
    if (control->TakesFocus() && control->IsVisible() && control->IsEnabled()) {
      SetFocus(control->Id());
      return;
    }
  }
}

void CDialog::SetIcon(int iconResource, bool big) {
  (big ? m_bigIcon : m_smallIcon) = iconResource;
  Changed(EDialogChange::Icon);
}

void CDialog::AppendSysMenuSeparator() {
  m_sysMenu.push_back({0, {}});
  Changed(EDialogChange::SysMenu);
}

void CDialog::AppendSysMenuItem(int id, std::string text) {
  m_sysMenu.push_back({id, std::move(text)});
  Changed(EDialogChange::SysMenu);
}

void CDialog::SetTimer(int timerId, int periodMs) { CHost::Current().SetTimer(*this, timerId, periodMs); }

void CDialog::KillTimer(int timerId) { CHost::Current().KillTimer(*this, timerId); }

bool CDialog::Ask(const std::string& text, EMessageIcon icon) {
  return CHost::Current().ShowMessageBox({text, ApplicationName(), icon, ResourceId(), EMessageButtons::YesNo}) ==
         EMessageReply::Yes;
}

void CDialog::WithdrawQuestions() { CHost::Current().WithdrawQuestions(ResourceId()); }

void CDialog::MessageBox(const std::string& text, EMessageIcon icon) {
  CHost::Current().ShowMessageBox({text, ApplicationName(), icon, ResourceId()});
}

void CDialog::PostToSelf(std::function<void()> work) {
  std::weak_ptr<CDialog*> alive = m_alive;
  CHost::Current().PostToGui([alive, work = std::move(work)] {
    if (alive.lock()) work();
  });
}

void CDialog::Changed(EDialogChange change) {
  if (m_observer) m_observer(change);
}

EMessage ScrollMessageOf(const CControl& control) {
  return control.HasStyle(ControlStyle::kVertical) ? EMessage::VScroll : EMessage::HScroll;
}

namespace {
std::string& AppNameStorage() {
  static std::string name = "vexmira";
  return name;
}
}  // namespace

const std::string& ApplicationName() { return AppNameStorage(); }
void SetApplicationName(std::string name) { AppNameStorage() = std::move(name); }
