// The script host: nested modal loops that read their events from the script, virtual or real time.
#include "framework/ScriptHost.h"

#include <algorithm>

namespace {

using EKind = CScriptToken::EKind;

int Number(const CScriptLine& line, std::size_t i) { return static_cast<int>(line.args.at(i).number); }

int Code(const CScriptToken& token) {
  return token.kind == EKind::Number ? static_cast<int>(token.number) : NotificationCodeByName(token.text.c_str());
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

const char* IconName(EMessageIcon icon) {
  switch (icon) {
    case EMessageIcon::None: return "none";
    case EMessageIcon::Error: return "error";
    case EMessageIcon::Warning: return "warning";
    case EMessageIcon::Information: return "information";
  }
  return "none";
}

}  // namespace

CScriptHost::CScriptHost(CScript script, bool realtime)
    : m_script(std::move(script)), m_realtime(realtime), m_start(std::chrono::steady_clock::now()) {}

CScriptHost::~CScriptHost() { m_threads.clear(); }

CScriptResult CScriptHost::Run(const std::function<void()>& program) {
  CHost::SetCurrent(this);
  program();
  while (HasLine()) RunNextLine();
  RunPosted();
  m_threads.clear();
  return m_result;
}

void CScriptHost::RunNextLine() {
  const CScriptLine& line = m_script.Lines()[m_next++];
  const std::string problem = Execute(line);
  if (!problem.empty()) Fail(line, problem);
  RunPosted();
}

void CScriptHost::Fail(const CScriptLine& line, const std::string& what) {
  if (m_failed) return;
  m_failed = true;
  m_result = {1, m_script.Name() + ":" + std::to_string(line.number) + ": " + what};
}

int CScriptHost::RunModal(CDialog& dialog) {
  m_stack.push_back(&dialog);
  dialog.CreateControls();
  if (dialog.OnInitDialog()) dialog.SetDefaultFocus();
  RunPosted();
  while (!dialog.HasEnded()) {
    if (!HasLine()) {
      // The script has ended (or failed): close the dialog as a user would.
      dialog.ForceClose();
      break;
    }
    RunNextLine();
  }
  dialog.Dispatch({EMessage::Destroy, 0, 0, 0});
  std::erase_if(m_timers, [&](const CTimer& t) { return t.dialog == &dialog; });
  dialog.DestroyControls();
  m_stack.pop_back();
  return dialog.Result();
}

std::string CScriptHost::Execute(const CScriptLine& line) {
  const std::string& command = line.command;
  if (command == "wait") {
    if (Number(line, 0) < 0) return "wait needs a time of 0 ms or more";
    Wait(static_cast<std::int64_t>(Number(line, 0)) * 1000);
    return {};
  }
  if (command == "file") {
    const auto& answer = line.args[0];
    m_fileAnswers.push_back(answer.kind == EKind::Text ? std::optional<std::string>(answer.text) : std::nullopt);
    return {};
  }
  if (command == "expect") return Expect(line);
  if (m_stack.empty()) return "no dialog is open for '" + command + "'";
  return ExecuteOnDialog(*m_stack.back(), line);
}

bool CScriptHost::MoveFocus(CDialog& dialog, int id) {
  const int old = dialog.FocusId();
  if (old == id) return true;
  dialog.SetFocus(id);
  if (CControl* left = dialog.FindItem(old); left && left->Kind() == EControlKind::Edit)
    dialog.Dispatch({EMessage::Command, old, EN_KILLFOCUS, 0});
  // A field that refuses its content takes the focus back; the click or keys are then lost.
  return !dialog.HasEnded() && dialog.FocusId() == id;
}

std::string CScriptHost::ExecuteOnDialog(CDialog& dialog, const CScriptLine& line) {
  const std::string& command = line.command;
  if (command == "close") {
    dialog.Dispatch({EMessage::Close, 0, 0, 0});
    return {};
  }
  if (command == "sysmenu") {
    if (!dialog.HasSystemMenu()) return "the dialog has no system menu";
    dialog.Dispatch({EMessage::SysCommand, Number(line, 0), 0, 0});
    return {};
  }

  const int id = Number(line, 0);
  CControl* control = dialog.FindItem(id);
  if (!control) return "dialog " + std::to_string(dialog.ResourceId()) + " has no control " + std::to_string(id);
  if (!control->IsVisible()) return "control " + std::to_string(id) + " is hidden";
  if (!control->IsEnabled()) return "control " + std::to_string(id) + " is disabled";
  const auto wrongKind = [&](const char* wanted) {
    const std::string kind = ControlKindName(control->Kind());
    const char* article = kind[0] == 'e' || kind[0] == 'i' || kind[0] == 'u' ? " is an " : " is a ";
    return "control " + std::to_string(id) + article + kind + ", not a " + wanted;
  };

  if (command == "click") {
    if (!control->IsButton()) return wrongKind("push button");
    if (MoveFocus(dialog, id)) dialog.Dispatch({EMessage::Command, id, BN_CLICKED, 0});
    return {};
  }
  if (command == "type" || command == "leave") {
    if (control->Kind() != EControlKind::Edit) return wrongKind("edit field");
    if (command == "leave") {
      if (dialog.FocusId() == id) dialog.SetFocus(0);
      dialog.Dispatch({EMessage::Command, id, EN_KILLFOCUS, 0});
      return {};
    }
    if (control->HasStyle(ControlStyle::kReadOnly)) return "control " + std::to_string(id) + " is read-only";
    if (!MoveFocus(dialog, id)) return {};
    std::string text = line.args[1].text;
    if (control->HasStyle(ControlStyle::kDigitsOnly))
      std::erase_if(text, [](char c) { return c < '0' || c > '9'; });
    control->SetText(text);
    dialog.Dispatch({EMessage::Command, id, EN_CHANGE, 0});
    return {};
  }
  if (command == "select") {
    if (control->Kind() != EControlKind::ComboBox) return wrongKind("combo box");
    const int index = Number(line, 1);
    const int count = static_cast<int>(control->Items().size());
    if (index < 0 || index >= count)
      return "combo box " + std::to_string(id) + " has " + std::to_string(count) + " items, no item " +
             std::to_string(index);
    if (!MoveFocus(dialog, id)) return {};
    control->SetSelection(index);
    dialog.Dispatch({EMessage::Command, id, CBN_SELCHANGE, 0});
    return {};
  }
  const EMessage scrollKind = ScrollMessageOf(*control);
  if (command == "scroll") {
    if (control->Kind() != EControlKind::ScrollBar) return wrongKind("scroll bar");
    const int pos = line.args.size() > 2 ? Number(line, 2) : control->Pos();
    dialog.Dispatch({scrollKind, id, Code(line.args[1]), pos});
    return {};
  }
  if (command == "slide") {
    if (control->Kind() != EControlKind::Trackbar) return wrongKind("trackbar");
    const int code = line.args.size() > 2 ? Code(line.args[2]) : TB_THUMBTRACK;
    control->SetPos(Number(line, 1));
    dialog.Dispatch({scrollKind, id, code, control->Pos()});
    return {};
  }
  if (command == "updown") {
    if (control->Kind() != EControlKind::UpDown) return wrongKind("up-down control");
    // An up-down control without a buddy reports its new position, then the end of the action.
    control->SetPos(Number(line, 1));
    dialog.Dispatch({scrollKind, id, SB_THUMBPOSITION, control->Pos()});
    if (!dialog.HasEnded()) dialog.Dispatch({scrollKind, id, SB_ENDSCROLL, control->Pos()});
    return {};
  }
  return "unknown command '" + command + "'";
}

std::string CScriptHost::Expect(const CScriptLine& line) {
  const std::string& what = line.args[0].text;

  if (what == "message") {
    const bool hasText = line.args.size() > 1 && line.args[1].kind == EKind::Text;
    if (m_boxesExpected >= m_boxes.size())
      return hasText ? "expected message box " + Quote(line.args[1].text) + ", found none"
                     : "expected a message box, found none";
    const CMessageBox& box = m_boxes[m_boxesExpected++];
    if (hasText && box.text != line.args[1].text)
      return "expected message box " + Quote(line.args[1].text) + ", found " + Quote(box.text);
    const std::size_t iconAt = hasText ? 2 : 1;
    if (line.args.size() > iconAt && line.args[iconAt].text != IconName(box.icon))
      return "expected a message box with icon " + line.args[iconAt].text + ", found icon " + IconName(box.icon) +
             " (" + Quote(box.text) + ")";
    return {};
  }
  if (what == "no-message") {
    if (m_boxesExpected < m_boxes.size()) return "expected no message box, found " + Quote(m_boxes[m_boxesExpected].text);
    return {};
  }
  if (what == "frames" || what == "frame") {
    if (!m_frames) return "no DMX line to look at";
    if (what == "frames") {
      const auto count = m_frames->FrameCount();
      if (count != static_cast<std::uint64_t>(Number(line, 1)))
        return "expected " + std::to_string(Number(line, 1)) + " frames, found " + std::to_string(count);
      return {};
    }
    const auto frame = m_frames->LastFrame();
    if (!frame) return "expected a frame, found none on the line";
    if (frame->startCode != Number(line, 1))
      return "expected start code " + std::to_string(Number(line, 1)) + ", found " + std::to_string(frame->startCode);
    if (static_cast<int>(frame->slots.size()) != Number(line, 2))
      return "expected " + std::to_string(Number(line, 2)) + " slots, found " + std::to_string(frame->slots.size());
    for (std::size_t i = 3; i < line.args.size(); ++i) {
      long long slot = 0, value = 0;
      ParseSlotValue(line.args[i].text, slot, value);
      if (slot < 1 || slot > static_cast<long long>(frame->slots.size()))
        return "the frame has no slot " + std::to_string(slot);
      const int found = frame->slots[static_cast<std::size_t>(slot - 1)];
      if (found != value)
        return "expected slot " + std::to_string(slot) + " = " + std::to_string(value) + ", found " + std::to_string(found);
    }
    return {};
  }

  if (m_stack.empty()) return "no dialog is open for 'expect " + what + "'";
  CDialog& dialog = *m_stack.back();
  if (what == "title") {
    if (dialog.Title() != line.args[1].text)
      return "expected title " + Quote(line.args[1].text) + ", found " + Quote(dialog.Title());
    return {};
  }
  if (what == "dialog") {
    if (dialog.ResourceId() != Number(line, 1))
      return "expected dialog " + std::to_string(Number(line, 1)) + ", found " + std::to_string(dialog.ResourceId());
    return {};
  }
  if (what == "icon") {
    if (dialog.BigIcon() != Number(line, 1) || dialog.SmallIcon() != Number(line, 1))
      return "expected icon " + std::to_string(Number(line, 1)) + ", found large " + std::to_string(dialog.BigIcon()) +
             " and small " + std::to_string(dialog.SmallIcon());
    return {};
  }
  if (what == "menu") {
    for (const auto& item : dialog.SysMenu())
      if (item.id == Number(line, 1)) {
        if (item.text == line.args[2].text) return {};
        return "expected system menu item " + std::to_string(item.id) + " " + Quote(line.args[2].text) + ", found " +
               Quote(item.text);
      }
    return "the system menu has no item " + std::to_string(Number(line, 1));
  }
  const int id = Number(line, 1);
  const std::string name = "control " + std::to_string(id);
  if (what == "focus") {
    if (dialog.FocusId() != id)
      return "expected the focus in " + name + ", found it in control " + std::to_string(dialog.FocusId());
    return {};
  }
  const CControl* control = dialog.FindItem(id);
  if (!control) return "dialog " + std::to_string(dialog.ResourceId()) + " has no " + name;
  if (what == "text") {
    if (control->Text() != line.args[2].text)
      return "expected text " + Quote(line.args[2].text) + " in " + name + ", found " + Quote(control->Text());
  } else if (what == "visible" || what == "hidden") {
    if (control->IsVisible() != (what == "visible"))
      return "expected " + name + " " + what + ", found it " + (control->IsVisible() ? "visible" : "hidden");
  } else if (what == "enabled" || what == "disabled") {
    if (control->IsEnabled() != (what == "enabled"))
      return "expected " + name + " " + what + ", found it " + (control->IsEnabled() ? "enabled" : "disabled");
  } else if (what == "pos") {
    if (control->Pos() != Number(line, 2))
      return "expected position " + std::to_string(Number(line, 2)) + " of " + name + ", found " +
             std::to_string(control->Pos());
  } else if (what == "range") {
    if (control->Min() != Number(line, 2) || control->Max() != Number(line, 3))
      return "expected range " + std::to_string(Number(line, 2)) + " to " + std::to_string(Number(line, 3)) + " of " +
             name + ", found " + std::to_string(control->Min()) + " to " + std::to_string(control->Max());
  }
  return {};
}

// --- time and timers ---

std::int64_t CScriptHost::NowUs() const {
  if (!m_realtime) return m_virtualNowUs;
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - m_start).count();
}

void CScriptHost::SetTimer(CDialog& dialog, int timerId, int periodMs) {
  std::erase_if(m_timers, [&](const CTimer& t) { return t.dialog == &dialog && t.id == timerId; });
  const std::int64_t period = std::max(1, periodMs) * 1000LL;
  m_timers.push_back({&dialog, timerId, period, NowUs() + period, m_timerOrder++, {}});
}

void CScriptHost::KillTimer(CDialog& dialog, int timerId) {
  std::erase_if(m_timers, [&](const CTimer& t) { return t.dialog == &dialog && t.id == timerId; });
}

int CScriptHost::StartPeriodicTimer(int periodMs, PeriodicCallback callback) {
  const int id = m_nextPeriodicId++;
  const std::int64_t period = std::max(1, periodMs) * 1000LL;
  if (m_realtime) {
    m_threads[id] = std::make_unique<CPeriodicThread>(std::chrono::microseconds(period), std::move(callback));
  } else {
    m_timers.push_back({nullptr, id, period, NowUs() + period, m_timerOrder++, std::move(callback)});
  }
  return id;
}

void CScriptHost::StopPeriodicTimer(int timerId) {
  m_threads.erase(timerId);
  std::erase_if(m_timers, [&](const CTimer& t) { return t.dialog == nullptr && t.id == timerId; });
}

std::optional<std::size_t> CScriptHost::NextTimer(std::int64_t limitUs) const {
  std::optional<std::size_t> best;
  for (std::size_t i = 0; i < m_timers.size(); ++i) {
    const CTimer& t = m_timers[i];
    if (t.dueUs > limitUs) continue;
    if (!best || t.dueUs < m_timers[*best].dueUs || (t.dueUs == m_timers[*best].dueUs && t.order < m_timers[*best].order))
      best = i;
  }
  return best;
}

void CScriptHost::FireTimer(std::size_t index) {
  CTimer& timer = m_timers[index];
  timer.dueUs += timer.periodUs;
  // Real window timers do not queue up: ticks missed while the program was busy are dropped.
  if (m_realtime)
    while (timer.dueUs <= NowUs()) timer.dueUs += timer.periodUs;
  if (timer.dialog) {
    CDialog* dialog = timer.dialog;
    const int id = timer.id;
    if (!dialog->HasEnded()) dialog->Dispatch({EMessage::Timer, id, 0, 0});
  } else {
    PeriodicCallback callback = timer.callback;  // the callback may stop its own timer
    callback();
  }
}

void CScriptHost::Wait(std::int64_t us) {
  const std::int64_t target = NowUs() + us;
  for (;;) {
    RunPosted();
    const auto next = NextTimer(target);
    if (m_realtime) SleepUntil(next ? m_timers[*next].dueUs : target);
    if (!next) break;
    if (!m_realtime) m_virtualNowUs = std::max(m_virtualNowUs, m_timers[*next].dueUs);
    FireTimer(*next);
  }
  if (!m_realtime) m_virtualNowUs = target;
  RunPosted();
}

void CScriptHost::SleepUntil(std::int64_t us) {
  const auto deadline = m_start + std::chrono::microseconds(us);
  std::unique_lock lock(m_postedMutex);
  for (;;) {
    m_postedSignal.wait_until(lock, deadline, [&] { return !m_posted.empty(); });
    if (m_posted.empty()) return;
    lock.unlock();
    RunPosted();
    lock.lock();
    if (std::chrono::steady_clock::now() >= deadline) return;
  }
}

void CScriptHost::PostToGui(std::function<void()> work) {
  {
    std::lock_guard lock(m_postedMutex);
    m_posted.push_back(std::move(work));
  }
  m_postedSignal.notify_one();
}

void CScriptHost::RunPosted() {
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard lock(m_postedMutex);
      if (m_posted.empty()) return;
      work = std::move(m_posted.front());
      m_posted.pop_front();
    }
    work();
  }
}

// --- boxes ---

void CScriptHost::ShowMessageBox(const CMessageBox& box) { m_boxes.push_back(box); }

std::optional<std::string> CScriptHost::ShowFileDialog(const CFileDialog& dialog) {
  m_fileDialogs.push_back(dialog);
  if (m_fileAnswers.empty()) {
    const auto& lines = m_script.Lines();
    if (m_next > 0) Fail(lines[m_next - 1], "a file dialog opened, but the script gave no answer for it (file \"PATH\")");
    return std::nullopt;
  }
  auto answer = m_fileAnswers.front();
  m_fileAnswers.pop_front();
  return answer;
}
