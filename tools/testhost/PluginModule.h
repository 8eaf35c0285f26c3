#pragma once

#include "plugin/Vst2Abi.h"

typedef AEffect*(VSTCALLBACK* PluginEntry)(audioMasterCallback host);

// The two published entry names of a loaded plug-in DLL; either may be missing.
struct PluginModule {
    PluginEntry vstPluginMain = nullptr;
    PluginEntry main = nullptr;
    PluginEntry Entry() const { return vstPluginMain ? vstPluginMain : main; }
};
