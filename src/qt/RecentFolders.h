// The folder last used for each kind of file, kept in the user's settings
// ($XDG_CONFIG_HOME/vexmira/vexmira.ini), so that file dialogs open where the user worked last.
#pragma once
#include <QString>

// The folder a file dialog for this kind of file (its default extension, e.g. "zkc") opens in: the
// last one used if it is still there, else the home folder.
QString RecentFolderFor(const QString& kind);
// Keeps the folder of a file the user chose for this kind of file.
void RememberFolderOf(const QString& kind, const QString& chosenFile);
