// The product the plug-in shell makes for every format's host.
#include "analyser/AnalyserPlugin.h"

PluginCore* CreatePluginInstance(PluginHost& host)
{
    // Any failure while building the object (the editor allocates too) must reach the host
    // as a null record, never as an exception through the C entry point.
    try {
        return new AnalyserPlugin(host);
    } catch (...) {
        return nullptr;
    }
}
