// The modal run of a dialog as every host does it; a host supplies only what is its own.
#pragma once
#include <functional>

class CDialog;

// A host's part in a modal run. Every step but `turn` may be left empty.
struct CModalSteps {
  std::function<void()> opened;      // the controls exist, OnInitDialog has not run: windows are built here
  std::function<void()> started;     // OnInitDialog has run and the focus is set
  std::function<bool()> turn;        // one turn of the host's loop; false: the run is over
  std::function<void()> ending;      // the dialog has ended; before WM_DESTROY
  std::function<void()> dropTimers;  // the dialog's window timers go
  std::function<void()> closed;      // the controls are gone
};

// Creates the dialog's controls, runs OnInitDialog (and gives the focus to the first control
// when it asks for that), then turns the host's loop until the dialog ends; a dialog still open
// when the run is over is closed as a user would. Then WM_DESTROY, the dialog's timers are
// dropped and its controls destroyed. Returns EndDialog's result.
int RunModalDialog(CDialog& dialog, const CModalSteps& steps);
