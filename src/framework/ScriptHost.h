// The script host: runs the program without windows, its events read from a script.
// Time is virtual (from 0) unless realtime is asked for.
#pragma once
#include "framework/Dialog.h"
#include "framework/Host.h"
#include "framework/PeriodicThread.h"
#include "framework/Script.h"
#include "framework/ScriptStage.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct CScriptResult {
  int exitCode = 0;     // 0: ran to its end, every expectation held; 1: one did not
  std::string message;  // for exit code 1: "script:line: what was expected, what was found"
};

class CScriptHost final : public CHost, private CScriptStage {
 public:
  explicit CScriptHost(CScript script, bool realtime = false);
  ~CScriptHost() override;

  void SetFrameSource(const CFrameSource* source) { m_frames = source; }

  // Runs `program` (which opens the first dialog and returns when it has closed), then
  // the lines left over; closes every dialog still open when the script ends.
  CScriptResult Run(const std::function<void()>& program);
  // Ends the run soon, from any thread: no further line runs, a wait stops where it is, and the
  // dialogs close as at the end of the script.
  void Stop();

  // What the run showed, for tests.
  const std::vector<CMessageBox>& MessageBoxes() const { return m_boxes; }
  const std::vector<CFileDialog>& FileDialogs() const { return m_fileDialogs; }
  CDialog* TopDialog() const override { return m_stack.empty() ? nullptr : m_stack.back(); }

  // CHost
  int RunModal(CDialog& dialog) override;
  void SetTimer(CDialog& dialog, int timerId, int periodMs) override;
  void KillTimer(CDialog& dialog, int timerId) override;
  EMessageReply ShowMessageBox(const CMessageBox& box) override;
  void WithdrawQuestions(int ownerResourceId) override;
  std::optional<std::string> ShowFileDialog(const CFileDialog& dialog) override;
  int StartPeriodicTimer(int periodMs, PeriodicCallback callback) override;
  void StopPeriodicTimer(int timerId) override;
  void PostToGui(std::function<void()> work) override;
  std::int64_t NowUs() const override;
  // Settings live as long as the host: a script run never reads or changes the user's own.
  std::optional<std::string> ReadSetting(const std::string& key) const override;
  void WriteSetting(const std::string& key, const std::optional<std::string>& value) override;

 private:
  struct CTimer {
    CDialog* dialog = nullptr;  // null: a periodic timer run on this thread (virtual time)
    int id = 0;
    std::int64_t periodUs = 0;
    std::int64_t dueUs = 0;
    std::uint64_t order = 0;  // timers due at the same time fire in the order they were set
    PeriodicCallback callback;
  };

  // CScriptStage: what the script's commands act on.
  void Wait(std::int64_t us) override;
  const CMessageBox* NextBox() const override;
  void BoxExpected() override { ++m_boxesExpected; }
  void AnswerFileDialog(std::optional<std::string> path) override { m_fileAnswers.push_back(std::move(path)); }
  void AnswerQuestion(EScriptAnswer answer) override;
  bool QuestionOpen() const override { return !m_openQuestions.empty(); }
  std::optional<std::size_t>& KeyboardMenu() override { return m_keyboardMenu; }
  const CFrameSource* Frames() const override { return m_frames; }

  bool HasLine() const { return m_next < m_script.Lines().size() && !m_failed && !m_stopped; }
  void RunNextLine();
  void Fail(const CScriptLine& line, const std::string& what);
  std::optional<std::size_t> NextTimer(std::int64_t limitUs) const;
  void FireTimer(std::size_t index);
  void RunPosted();
  void SleepUntil(std::int64_t us);

  CScript m_script;
  bool m_realtime;
  std::chrono::steady_clock::time_point m_start;
  std::int64_t m_virtualNowUs = 0;
  std::size_t m_next = 0;
  bool m_failed = false;
  std::atomic<bool> m_stopped{false};
  CScriptResult m_result;
  const CFrameSource* m_frames = nullptr;

  std::vector<CDialog*> m_stack;
  std::vector<CTimer> m_timers;
  std::uint64_t m_timerOrder = 0;
  int m_nextPeriodicId = 1;
  std::map<int, std::unique_ptr<CPeriodicThread>> m_threads;  // realtime periodic timers

  std::vector<CMessageBox> m_boxes;
  std::size_t m_boxesExpected = 0;
  std::vector<CFileDialog> m_fileDialogs;
  std::deque<std::optional<std::string>> m_fileAnswers;
  std::deque<EScriptAnswer> m_questionAnswers;
  struct COpenQuestion {
    int ownerResourceId = 0;
    std::optional<bool> yes;  // the reply, once given
  };
  std::vector<COpenQuestion> m_openQuestions;  // innermost last
  std::optional<std::size_t> m_keyboardMenu;
  std::map<std::string, std::string> m_settings;

  std::mutex m_postedMutex;
  std::condition_variable m_postedSignal;
  std::deque<std::function<void()>> m_posted;
};
