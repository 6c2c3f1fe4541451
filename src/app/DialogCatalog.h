// Every dialog the program shows, for the checks that must cover each of them (the layout check,
// the "where things are" table).
#pragma once
#include "framework/DialogTemplate.h"

#include <span>
#include <string_view>

struct CDialogEntry {
  std::string_view className;  // "CConsoleDlg"
  const CDialogTemplate& (*layout)();
};

// In the order a user meets them: the launcher, its about box and the interface chooser, then each
// tool and its menus.
std::span<const CDialogEntry> ProgramDialogs();
