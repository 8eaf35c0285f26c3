// The few window-manager services the host's own extensions need. The DLL asks the window
// manager; the native build answers from a window tree that tests set up (HostWindowTree).
#pragma once

#include <string>

namespace HostWindows {

// Whether the handle names a window that exists now.
bool IsWindow(void* window);
// The window's parent (or owner), null at the top or for a handle that is no window.
void* ParentOf(void* window);
// The window's title (the window manager gives at most 255 characters); false when it
// cannot be read.
bool ReadTitle(void* window, std::string& title);
// Queues WM_COMMAND with wParam = command and lParam = 0 for the window's own thread and
// returns at once: the receiver never runs inside the caller.
bool PostCommand(void* window, int command);

}  // namespace HostWindows
