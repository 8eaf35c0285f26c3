#include "tests/XUser.h"

#include <chrono>
#include <string>
#include <thread>

#include <X11/Xutil.h>

Window WindowNamed(Display* display, const char* name, int tries)
{
    while (tries-- > 0) {
        Window root = 0, up = 0, *children = nullptr, found = 0;
        unsigned count = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &up, &children, &count)) {
            for (unsigned i = 0; i < count && !found; ++i) {
                char* title = nullptr;
                if (XFetchName(display, children[i], &title) && title) {
                    if (std::string(title) == name) found = children[i];
                    XFree(title);
                }
            }
            if (children) XFree(children);
        }
        if (found) return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

bool NoWindowNamed(Display* display, const char* name)
{
    for (int tries = 0; tries < 200; ++tries) {
        if (!WindowNamed(display, name, 1)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void SendKey(Display* display, Window to, KeySym symbol, unsigned state)
{
    XEvent event = {};
    event.xkey.type = KeyPress;
    event.xkey.state = state;
    event.xkey.window = to;
    event.xkey.root = DefaultRootWindow(display);
    event.xkey.keycode = XKeysymToKeycode(display, symbol);
    event.xkey.same_screen = True;
    XSendEvent(display, to, False, KeyPressMask, &event);
    XFlush(display);
}

namespace {

// What button and motion events share: where the pointer is over which window.
template <typename Event>
void Aim(Event& event, Display* display, Window to, int type, int x, int y, unsigned state)
{
    event.type = type;
    event.window = to;
    event.root = DefaultRootWindow(display);
    event.x = x;
    event.y = y;
    event.state = state;
    event.same_screen = True;
}

}  // namespace

void SendButton(Display* display, Window to, int type, unsigned button, int x, int y, unsigned state, Time time)
{
    XEvent event = {};
    Aim(event.xbutton, display, to, type, x, y, state);
    event.xbutton.button = button;
    event.xbutton.time = time;
    XSendEvent(display, to, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
}

void SendMotion(Display* display, Window to, int x, int y, unsigned state)
{
    XEvent event = {};
    Aim(event.xmotion, display, to, MotionNotify, x, y, state);
    XSendEvent(display, to, False, PointerMotionMask, &event);
}

void SendLeftClick(Display* display, Window to, int x, int y)
{
    SendButton(display, to, ButtonPress, Button1, x, y);
    SendButton(display, to, ButtonRelease, Button1, x, y, Button1Mask);
    XFlush(display);
}
