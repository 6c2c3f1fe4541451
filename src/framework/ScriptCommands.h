// The script language's commands and expectations, kept as one table of name, argument shape
// and handler; the host that runs a script only provides the stage they act on.
#pragma once
#include "framework/Script.h"
#include "framework/ScriptStage.h"

#include <string>

// Checks a line's command and the shape of its arguments: what is wrong with it, or empty
// when it fits the language.
std::string CheckScriptLine(const CScriptLine& line);

// Runs a line that passed the check: why a user could not have done it or what the
// expectation found instead, or empty.
std::string RunScriptLine(CScriptStage& stage, const CScriptLine& line);
