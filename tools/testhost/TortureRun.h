#pragma once

#include "tools/testhost/PluginModule.h"
#include "tools/testhost/Report.h"

// Many instances driven at once from several host threads, as a busy DAW session does:
// random block sizes, sample-rate changes mid-stream, automation storms, state saved and
// loaded between blocks, and editors opened, clicked and closed on this thread while the
// audio runs. Every block must come out exactly as it went in, and every final state must
// load into a new instance. A watchdog fails the run when it does not finish in time.
void RunTorture(const PluginModule& module, int rounds, Report& report);
