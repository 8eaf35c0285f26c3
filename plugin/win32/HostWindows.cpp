#include "plugin/HostWindows.h"

#include <windows.h>

namespace HostWindows {

bool IsWindow(void* window) { return window && ::IsWindow(static_cast<HWND>(window)); }

void* ParentOf(void* window)
{
    if (!IsWindow(window)) return nullptr;
    return ::GetParent(static_cast<HWND>(window));
}

bool ReadTitle(void* window, std::string& title)
{
    title.clear();
    if (!IsWindow(window)) return false;
    char text[256];
    text[0] = '\0';
    // A title that is empty or cannot be read both answer 0 characters.
    const int n = ::GetWindowTextA(static_cast<HWND>(window), text, sizeof text);
    if (n <= 0) return false;
    title.assign(text, static_cast<size_t>(n < 255 ? n : 255));
    return true;
}

bool PostCommand(void* window, int command)
{
    if (!IsWindow(window)) return false;
    return ::PostMessageA(static_cast<HWND>(window), WM_COMMAND, static_cast<WPARAM>(command), 0) != 0;
}

}  // namespace HostWindows
