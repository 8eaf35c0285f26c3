#pragma once

#include <string>

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// What a host stores in its project and gives back: the state chunk's bytes, their effect
// on the parameters and on the editor's picture, and, when the host poses as one that keeps
// the editor in a floating window (`windowSection`), the window's class, title and place.
void RunStateChecks(const PluginModule& module, bool windowSection, Report& report);

// Loads the state in file `in` (a state unlike the defaults when `in` is empty) and writes
// the chunk then saved to file `out`: builds of other word sizes must read and write the same bytes.
void ExchangeStateFile(const PluginModule& module, bool windowSection, const std::string& in, const std::string& out,
                       Report& report);
