// The one settings file of the program.
#include "qt/UserSettings.h"

QSettings UserSettings() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "vexmira", "vexmira"); }
