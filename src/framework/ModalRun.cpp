// The modal run shared by the hosts.
#include "framework/ModalRun.h"

#include "framework/Dialog.h"

namespace {
void Call(const std::function<void()>& step) {
  if (step) step();
}
}  // namespace

int RunModalDialog(CDialog& dialog, const CModalSteps& steps) {
  dialog.CreateControls();
  Call(steps.opened);
  if (dialog.OnInitDialog()) dialog.SetDefaultFocus();
  Call(steps.started);
  while (!dialog.HasEnded()) {
    if (!steps.turn()) {
      dialog.ForceClose();
      break;
    }
  }
  Call(steps.ending);
  dialog.Dispatch({EMessage::Destroy, 0, 0, 0});
  Call(steps.dropTimers);
  dialog.DestroyControls();
  Call(steps.closed);
  return dialog.Result();
}
