#include "graphics/x11/X11ColourDialog.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "graphics/ColourChooser.h"
#include "graphics/x11/X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace {

// The window the window manager knows as the owner's application window: the highest
// ancestor it marked with WM_STATE, or without a window manager the one under the root.
Window TopLevelOf(Display* display, Window w)
{
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    Window topLevel = w, managed = 0;
    for (int depth = 0; w && depth < 64; ++depth) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, w, wmState, 0, 0, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success && type != None)
            managed = w;
        if (data) XFree(data);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(display, w, &root, &parent, &children, &n)) break;
        if (children) XFree(children);
        if (parent == root || !parent) break;
        w = topLevel = parent;
    }
    return managed ? managed : topLevel;
}

bool KeyOf(KeySym symbol, unsigned int state, ColourChooser::Key& key)
{
    using Key = ColourChooser::Key;
    switch (symbol) {
    case XK_Left: case XK_KP_Left: key = Key::Left; return true;
    case XK_Right: case XK_KP_Right: key = Key::Right; return true;
    case XK_Up: case XK_KP_Up: key = Key::Up; return true;
    case XK_Down: case XK_KP_Down: key = Key::Down; return true;
    case XK_Tab: key = (state & ShiftMask) ? Key::ShiftTab : Key::Tab; return true;
    case XK_ISO_Left_Tab: key = Key::ShiftTab; return true;
    case XK_Return: case XK_KP_Enter: key = Key::Enter; return true;
    case XK_Escape: key = Key::Escape; return true;
    case XK_Prior: case XK_KP_Prior: key = Key::PageUp; return true;
    case XK_Next: case XK_KP_Next: key = Key::PageDown; return true;
    case XK_Home: case XK_KP_Home: key = Key::Home; return true;
    case XK_End: case XK_KP_End: key = Key::End; return true;
    case XK_BackSpace: key = Key::Backspace; return true;
    default: return false;
    }
}

}  // namespace

X11ColourDialog::X11ColourDialog(X11Connection& connection, ColourChooser& chooser, int32_t scale)
    : connection(connection), chooser(chooser), scale(std::max(1, std::min(scale, kMaxBlitScale)))
{
}

X11ColourDialog::~X11ColourDialog()
{
    Display* display = connection.XDisplay();
    if (gc) XFreeGC(display, gc);
    if (!window || connection.Broken()) return;
    XDestroyWindow(display, window);
    XFlush(display);
}

bool X11ColourDialog::Open(unsigned long over, int32_t overWidth, int32_t overHeight)
{
    Display* display = connection.XDisplay();
    if (connection.Broken()) return false;
    const int32_t w = ColourChooser::Width * scale, h = ColourChooser::Height * scale;
    try {
        pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0u);
    } catch (...) {
        return false;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    // Centred over the editor, inside the screen.
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, over, root, 0, 0, &x, &y, &child);
    x = std::max(0, std::min(x + (overWidth - w) / 2, DisplayWidth(display, screen) - w));
    y = std::max(0, std::min(y + (overHeight - h) / 2, DisplayHeight(display, screen) - h));
    const Window owner = TopLevelOf(display, over);

    const uint64_t mark = connection.Mark();

    XSetWindowAttributes attributes = {};
    attributes.background_pixmap = None;  // the picture covers it all
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | ButtonMotionMask |
                            StructureNotifyMask;
    window = XCreateWindow(display, root, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                           CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    if (!window) return false;
    image.SetVisual(DefaultVisual(display, screen), DefaultDepth(display, screen));
    gc = XCreateGC(display, window, 0, nullptr);

    const Atom dialogType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&dialogType), 1);
    connection.SetTopLevelHints(window, x, y, w, h);
    XWMHints hints = {};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, window, &hints);
    XSetTransientForHint(display, window, owner);
    // Named last: whoever finds the window by its name finds its hints already set.
    const std::string& title = chooser.Title();
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XMapRaised(display, window);
    return !connection.FailedSince(mark);
}

int32_t X11ColourDialog::Unscaled(int32_t v) const
{
    return v >= 0 ? v / scale : -((-v + scale - 1) / scale);
}

void X11ColourDialog::Handle(const _XEvent& raw)
{
    XEvent event = raw;
    switch (event.type) {
    case Expose:
        exposed = true;
        break;
    case MapNotify:
        // The keyboard is the chooser's from the start; a window manager may refuse.
        XSetInputFocus(connection.XDisplay(), window, RevertToParent, CurrentTime);
        break;
    case KeyPress: {
        char text[8] = {};
        KeySym symbol = NoSymbol;
        const int length = XLookupString(&event.xkey, text, sizeof text - 1, &symbol, nullptr);
        ColourChooser::Key key;
        if (KeyOf(symbol, event.xkey.state, key))
            chooser.Press(key);
        else if (length == 1 && text[0] >= '0' && text[0] <= '9')
            chooser.Type(text[0]);
        break;
    }
    case ButtonPress:
        if (event.xbutton.button != Button1) break;
        pressed = true;
        chooser.MouseDown(Unscaled(event.xbutton.x), Unscaled(event.xbutton.y));
        break;
    case MotionNotify:
        if (pressed) chooser.MouseDrag(Unscaled(event.xmotion.x), Unscaled(event.xmotion.y));
        break;
    case ButtonRelease:
        if (event.xbutton.button != Button1 || !pressed) break;
        pressed = false;
        chooser.MouseUp(Unscaled(event.xbutton.x), Unscaled(event.xbutton.y));
        break;
    case ClientMessage:
        if (static_cast<unsigned long>(event.xclient.data.l[0]) == connection.DeleteWindow())
            chooser.Press(ColourChooser::Key::Escape);
        break;
    case DestroyNotify:
        window = 0;
        if (gc) XFreeGC(connection.XDisplay(), gc);
        gc = nullptr;
        chooser.Press(ColourChooser::Key::Escape);
        break;
    default:
        break;
    }
}

void X11ColourDialog::Show()
{
    if (!window || connection.Broken() || (!exposed && !chooser.Dirty())) return;
    exposed = false;
    const int32_t w = ColourChooser::Width * scale, h = ColourChooser::Height * scale;
    PixelRows rows;
    rows.base = pixels.data();
    rows.span = w;
    rows.width = w;
    rows.height = h;
    chooser.Present(rows, scale);
    image.Put(connection, window, gc, rows, Rect(0, 0, w, h), w, h);
}
