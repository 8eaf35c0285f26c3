// A user at an X server, for the tests that drive our windows from another connection:
// finding a top-level window by its name, keys and clicks sent to a window.
#pragma once

#include <X11/Xlib.h>

// The top-level window named `name`, waited for up to `tries` hundredths of a second; 0 when
// none appears.
Window WindowNamed(Display* display, const char* name, int tries = 200);
// Whether no top-level window is named `name`, waiting up to two seconds for the last to go.
bool NoWindowNamed(Display* display, const char* name);
// A key pressed in the window with the modifiers `state` held.
void SendKey(Display* display, Window to, KeySym symbol, unsigned state = 0);
// A button event (ButtonPress or ButtonRelease) at (x, y) of the window, with the modifiers
// and buttons `state` held before it, at server time `time`.
void SendButton(Display* display, Window to, int type, unsigned button, int x, int y, unsigned state = 0,
                Time time = 0);
// A pointer move to (x, y) of the window with the modifiers and buttons `state` held.
void SendMotion(Display* display, Window to, int x, int y, unsigned state = 0);
// A left press and release at (x, y) of the window.
void SendLeftClick(Display* display, Window to, int x, int y);
