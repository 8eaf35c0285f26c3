#include "plugin/Module.h"

audioMasterCallback& HostCallbackRef()
{
    static audioMasterCallback callback = nullptr;
    return callback;
}

void*& ModuleHandleRef()
{
    static void* handle = nullptr;
    return handle;
}
