// Services of host id 1 that lie outside the published plug-in interface: host functions
// looked up by name, its transport through commands to its main window, and the title of
// the FX chain window that holds the editor.
#pragma once

#include <string>

class PluginCore;

enum HostTransportRequest { kHostStop = 0, kHostPlay = 1, kHostPause = 2 };

// Transport states as the host's "GetPlayState" answers them; 5 and 6 while recording.
enum HostPlayState { kHostStopped = 0, kHostPlaying = 1, kHostPaused = 2, kHostRecording = 5,
                     kHostRecordPaused = 6 };

// Commands the host's main window carries out.
enum HostCommand { kHostCommandPlay = 1007, kHostCommandPause = 1008, kHostCommandStop = 1016 };

// The address of the host's own function `name` (one without arguments), or null when the
// host offers none. Asked through the host callback with a request of the host's own.
void* LookupHostFunction(const char* name);

// Posts `command` to the host's main window unless the host records. Posted, never sent:
// the host carries it out later on its own thread, never inside a caller that holds the
// plug-in lock.
void PostHostCommand(int command);

// In host id 1, asks the host to stop, play or pause unless it records or is already
// there; answers the transport state found (0 when the host offers no transport, and in
// every other host, which is never asked).
int SetHostTransport(const PluginCore& plug, int request);

// The FX chain's name from the title of the window holding `window`, or empty.
std::string FindFxChainName(void* window);
