// What a script's commands act on: the dialogs, the time, the message boxes, the file answers
// and the frames of the host that runs the script.
#pragma once
#include "framework/FrameSource.h"
#include "framework/Host.h"

#include <cstdint>
#include <optional>
#include <string>

class CDialog;

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
  // The reply to the next message box that asks a question (unanswered ones get No).
  virtual void AnswerQuestion(bool yes) = 0;
  // The line's frames; null when there is no line to look at.
  virtual const CFrameSource* Frames() const = 0;
};
