// What a script's commands act on: the dialogs, the time, the message boxes, the file answers
// and the frames of the host that runs the script.
#pragma once
#include "framework/FrameSource.h"
#include "framework/Host.h"

#include <cstdint>
#include <optional>
#include <string>

class CDialog;

// The reply a script gives to the next question: later keeps it open while the script goes on,
// until an answer comes (or the program withdraws it).
enum class EScriptAnswer { Yes, No, Later };

class CScriptStage {
 public:
  virtual ~CScriptStage() = default;

  // The topmost open dialog; null while none is open.
  virtual CDialog* TopDialog() const = 0;
  // Moves the time on, firing every timer that falls due on the way.
  virtual void Wait(std::int64_t us) = 0;
  // The oldest message box not yet expected (null if there is none), and marking it expected.
  virtual const CMessageBox* NextBox() const = 0;
  virtual void BoxExpected() = 0;
  // The answer for the next file dialog; nothing: cancel.
  virtual void AnswerFileDialog(std::optional<std::string> path) = 0;
  // The reply to the question open now, or else to the next one that asks (unanswered ones get No).
  virtual void AnswerQuestion(EScriptAnswer answer) = 0;
  // Whether a question is open: the dialogs under it take no action until it is answered.
  virtual bool QuestionOpen() const = 0;
  // The system menu opened by the keyboard: the place of the highlighted item, nothing while it is
  // closed.
  virtual std::optional<std::size_t>& KeyboardMenu() = 0;
  // The line's frames; null when there is no line to look at.
  virtual const CFrameSource* Frames() const = 0;
};
