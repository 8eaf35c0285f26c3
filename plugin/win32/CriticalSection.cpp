#include "plugin/CriticalSection.h"

#include <windows.h>

uintptr_t CriticalSection::ThisThread() { return GetCurrentThreadId(); }
