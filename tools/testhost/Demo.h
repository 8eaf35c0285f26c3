#pragma once

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// Plays a generated stereo test signal through one instance and prints what the host saw.
void RunDemo(const PluginModule& module, Report& report);
