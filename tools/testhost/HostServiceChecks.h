#pragma once

#include <string>

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// What the plug-in does with the host's own services: in host id 1 (`hostOne`) its floating
// editor is named after the FX chain, keeps its place and name in the state, and its pause
// drives the host's transport; any other host is never asked for them.
void RunHostServiceChecks(const PluginModule& module, bool hostOne, Report& report);
