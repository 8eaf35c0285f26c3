#pragma once

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// Drives fresh instances through the record only, as a DAW does, and reports each check.
void RunPluginChecks(const PluginModule& module, Report& report);
