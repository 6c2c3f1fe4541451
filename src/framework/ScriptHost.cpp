// The script host: nested modal loops that read their events from the script, virtual or real time.
#include "framework/ScriptHost.h"

#include "framework/ModalRun.h"
#include "framework/ScriptCommands.h"

#include <algorithm>

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

void CScriptHost::Stop() {
  {
    std::lock_guard lock(m_postedMutex);  // so a real-time wait cannot miss the wake-up
    m_stopped = true;
  }
  m_postedSignal.notify_all();
}

void CScriptHost::RunNextLine() {
  const CScriptLine& line = m_script.Lines()[m_next++];
  const std::string problem = RunScriptLine(*this, line);
  if (!problem.empty()) Fail(line, problem);
  RunPosted();
}

void CScriptHost::Fail(const CScriptLine& line, const std::string& what) {
  if (m_failed) return;
  m_failed = true;
  m_result = {1, m_script.Name() + ":" + std::to_string(line.number) + ": " + what};
}

int CScriptHost::RunModal(CDialog& dialog) {
  CModalSteps steps;
  steps.started = [this] { RunPosted(); };
  // A turn runs the script's next line; once the script has ended (or failed), the run is over.
  steps.turn = [this] {
    if (!HasLine()) return false;
    RunNextLine();
    return true;
  };
  steps.dropTimers = [this, &dialog] { std::erase_if(m_timers, [&](const CTimer& t) { return t.dialog == &dialog; }); };
  m_stack.push_back(&dialog);
  const int result = RunModalDialog(dialog, steps);
  m_stack.pop_back();
  return result;
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
  while (!m_stopped) {
    RunPosted();
    const auto next = NextTimer(target);
    if (m_realtime) SleepUntil(next ? m_timers[*next].dueUs : target);
    if (!next) break;
    if (!m_realtime) m_virtualNowUs = std::max(m_virtualNowUs, m_timers[*next].dueUs);
    FireTimer(*next);
  }
  if (!m_realtime && !m_stopped) m_virtualNowUs = target;
  RunPosted();
}

void CScriptHost::SleepUntil(std::int64_t us) {
  const auto deadline = m_start + std::chrono::microseconds(us);
  std::unique_lock lock(m_postedMutex);
  for (;;) {
    m_postedSignal.wait_until(lock, deadline, [&] { return !m_posted.empty() || m_stopped; });
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

const CMessageBox* CScriptHost::NextBox() const {
  return m_boxesExpected < m_boxes.size() ? &m_boxes[m_boxesExpected] : nullptr;
}

EMessageReply CScriptHost::ShowMessageBox(const CMessageBox& box) {
  m_boxes.push_back(box);
  if (box.buttons == EMessageButtons::Ok) return EMessageReply::Ok;
  EScriptAnswer answer = EScriptAnswer::No;  // a question nobody answered gets the safe reply
  if (!m_questionAnswers.empty()) {
    answer = m_questionAnswers.front();
    m_questionAnswers.pop_front();
  }
  if (answer != EScriptAnswer::Later) return answer == EScriptAnswer::Yes ? EMessageReply::Yes : EMessageReply::No;
  // The box stays open while the script goes on (time passes, timers tick), until it is answered
  // or withdrawn; a script that ends first leaves it with No.
  m_openQuestions.push_back({box.ownerResourceId, std::nullopt});
  const std::size_t place = m_openQuestions.size() - 1;
  while (!m_openQuestions[place].yes && HasLine()) RunNextLine();
  const bool yes = m_openQuestions[place].yes.value_or(false);
  m_openQuestions.pop_back();
  return yes ? EMessageReply::Yes : EMessageReply::No;
}

void CScriptHost::AnswerQuestion(EScriptAnswer answer) {
  for (auto open = m_openQuestions.rbegin(); open != m_openQuestions.rend(); ++open) {
    if (open->yes || answer == EScriptAnswer::Later) continue;
    open->yes = answer == EScriptAnswer::Yes;
    return;
  }
  m_questionAnswers.push_back(answer);
}

void CScriptHost::WithdrawQuestions(int ownerResourceId) {
  for (COpenQuestion& open : m_openQuestions)
    if (open.ownerResourceId == ownerResourceId && !open.yes) open.yes = false;
}

std::optional<std::string> CScriptHost::ReadSetting(const std::string& key) const {
  const auto found = m_settings.find(key);
  return found == m_settings.end() ? std::nullopt : std::optional<std::string>(found->second);
}

void CScriptHost::WriteSetting(const std::string& key, const std::optional<std::string>& value) {
  if (value) m_settings[key] = *value;
  else m_settings.erase(key);
}

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
