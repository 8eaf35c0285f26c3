#include "plugin/HostServices.h"

// Reaching the host's transport and windows needs the window services that come with the
// Win32 editor window; until then the transport is left alone and no chain name is found.

int SetHostTransport(PluginCore&, int) { return 0; }

std::string FindFxChainName(void*) { return std::string(); }
