#pragma once

#include <string>

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// What the plug-in does with the host's own services: in host id 1 (`product` holds
// "reaper") its floating editor is named after the FX chain and its pause drives the host's
// transport; any other host is never asked for them.
void RunHostServiceChecks(const PluginModule& module, const std::string& product, Report& report);
