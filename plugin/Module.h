// Module-wide state shared by every instance of the loaded library.
#pragma once

#include "plugin/Vst2Abi.h"

// The host callback last passed to the entry point; every instance calls back through it.
audioMasterCallback& HostCallbackRef();

// The library's own module handle (an HINSTANCE in the DLL; null natively).
void*& ModuleHandleRef();
