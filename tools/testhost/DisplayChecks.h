#pragma once

#include <string>

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// Opens the editor in a window of our own, plays signals whose pictures are known into each
// of the four displays and checks, on the captured screen, properties that no font decides:
// where a band, a peak, a line or a bright row lies. When `pngPrefix` is not empty each
// capture is also written to PREFIX-DISPLAY.png.
void RunDisplayChecks(const PluginModule& module, const std::string& pngPrefix, Report& report);
