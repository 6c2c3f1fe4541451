// The user's settings file ($XDG_CONFIG_HOME/vexmira/vexmira.ini): remembered folders, window
// places, the line monitor's number format and what the dialogs keep through the host.
#pragma once
#include <QSettings>

QSettings UserSettings();
