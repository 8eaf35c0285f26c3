// Lets a program's windows live for a while: their messages, the editor's timer among them,
// are taken and dispatched for `ms` milliseconds, as a host's user-interface thread does.
#pragma once

#include <windows.h>

void PumpMessages(DWORD ms);
