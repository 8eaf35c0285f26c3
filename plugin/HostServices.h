// Services of host id 1 that lie outside the published plug-in interface: its transport
// and the title of the FX chain window that holds the editor.
#pragma once

#include <string>

class PluginCore;

enum HostTransportRequest { kHostStop = 0, kHostPlay = 1, kHostPause = 2 };

// Asks the host to stop, play or pause unless it records or is already there; answers the
// transport state found (0 when the host offers no transport).
int SetHostTransport(PluginCore& plug, int request);

// The FX chain's name from the title of the window holding window, or empty.
std::string FindFxChainName(void* window);
