#pragma once

#include <string>

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// Writes the screen density every later Wine process of this prefix starts with (Wine's
// LogPixels); true when it was stored.
bool StoreScreenDpi(int dpi, Report& report);

// The editor on a screen of 192 DPI, as a DPI-aware host shows it: its size, the picture
// doubled, clicks at the doubled points, and ctrl + click in the corner square cycling the
// scale with the host asked for room (given, then refused).
void RunHiDpiChecks(const PluginModule& module, Report& report);
