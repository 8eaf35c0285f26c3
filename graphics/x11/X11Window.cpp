#include "graphics/x11/X11Window.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "graphics/GraphicsWindow.h"
#include "graphics/PngLoader.h"
#include "graphics/Surface.h"
#include "graphics/WindowNames.h"
#include "graphics/native/ModuleFolders.h"
#include "plugin/LeadingNumber.h"
#include "plugin/Module.h"
#include "plugin/PluginCore.h"

// Last: Xlib's macros (Bool, None, Status) would clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>

namespace {

uint64_t NowMs()
{
    timespec t = {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u;
}

bool HasArea(const Rect& r)
{
    return r.right > r.left && r.bottom > r.top;
}

// The host owns the process's Xlib error handler; ours stands in only around requests that
// may name a window the host has already destroyed, so that they fail quietly.
int trappedErrors = 0;

int TrapHandler(Display*, XErrorEvent*)
{
    ++trappedErrors;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display(display)
    {
        XSync(display, False);
        trappedErrors = 0;
        previous = XSetErrorHandler(TrapHandler);
    }
    ~ErrorTrap() { XSetErrorHandler(previous); }
    // Waits for the server's answer to everything sent; true when none of it failed.
    bool Succeeded()
    {
        XSync(display, False);
        return trappedErrors == 0;
    }

private:
    Display* display;
    int (*previous)(Display*, XErrorEvent*) = nullptr;
};

int ShiftOfMask(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

struct X11Window::Connection {
    Display* display = nullptr;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    Atom deleteWindow = 0;
    std::vector<uint32_t> converted;
};

std::unique_ptr<PlatformWindow> MakePlatformWindow(GraphicsWindow& editor)
{
    return std::unique_ptr<PlatformWindow>(new X11Window(editor));
}

X11Window::X11Window(GraphicsWindow& editor) : editor(editor) {}

X11Window::~X11Window()
{
    Destroy();
    if (x && x->display) XCloseDisplay(x->display);
    delete x;
}

X11Window* X11Window::Of(const Graphics* graphics)
{
    const auto* owner = dynamic_cast<const GraphicsWindow*>(graphics);
    return owner ? dynamic_cast<X11Window*>(&owner->Platform()) : nullptr;
}

void* X11Window::Handle() const
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
}

bool X11Window::Prepare()
{
    if (!x) x = new (std::nothrow) Connection();
    if (!x) return false;
    if (!x->display) {
        x->display = XOpenDisplay(nullptr);
        if (!x->display) return false;
        x->deleteWindow = XInternAtom(x->display, "WM_DELETE_WINDOW", False);
    }
    return true;
}

Rect X11Window::Place() const
{
    Window root = 0;
    int wx = 0, wy = 0;
    unsigned int ww = 0, wh = 0, border = 0, depth = 0;
    if (!window) return Rect();
    ErrorTrap trap(x->display);
    if (!XGetGeometry(x->display, window, &root, &wx, &wy, &ww, &wh, &border, &depth) || !trap.Succeeded())
        return Rect(0, 0, editor.ClientWidth(), editor.ClientHeight());
    return Rect(wx, wy, wx + static_cast<int32_t>(ww), wy + static_cast<int32_t>(wh));
}

bool X11Window::CreateChild(void* parent, const Rect& place)
{
    const unsigned long parentWindow = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent));
    // Without a parent the editor is a window of its own, under the plug-in's name.
    const std::string name = editor.Plug() ? editor.Plug()->EffectName() : std::string();
    return CreateWindowIn(parentWindow, place.left, place.top, place.Width(), place.Height(), parentWindow == 0,
                          parentWindow ? kChildWindowTitle : name);
}

bool X11Window::CreateFloating(const Rect& client, const std::string& title)
{
    const auto extent = [](int64_t from, int64_t to, int32_t fallback) {
        return to > from ? static_cast<int32_t>(std::min<int64_t>(to - from, 16384)) : fallback;
    };
    const int32_t s = editor.WantedScale();
    return CreateWindowIn(0, client.left, client.top, extent(client.left, client.right, editor.Width() * s),
                          extent(client.top, client.bottom, editor.Height() * s), true, title);
}

int32_t X11Window::ScreenScale() const
{
    double factor = hostScaleFactor;
    if (!(factor > 0.0) && x && x->display) {
        // Xft.dpi from the resources the desktop set on the screen (xrdb).
        if (const char* resources = XResourceManagerString(x->display)) {
            XrmInitialize();
            XrmDatabase db = XrmGetStringDatabase(resources);
            char* type = nullptr;
            XrmValue value = {};
            if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
                factor = LeadingNumber(value.addr) / 96.0;
            if (db) XrmDestroyDatabase(db);
        }
    }
    if (!(factor >= 1.0) || !std::isfinite(factor)) return 1;
    return std::min(Graphics::kMaxScale, static_cast<int32_t>(factor));
}

void X11Window::FixSizeHints(int32_t w, int32_t h)
{
    XSizeHints hints = {};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = w;
    hints.min_height = hints.max_height = h;
    XSetWMNormalHints(x->display, window, &hints);
}

void X11Window::Resize(int32_t w, int32_t h)
{
    if (!window) return;
    ErrorTrap trap(x->display);
    if (topLevelWindow) FixSizeHints(w, h);
    XResizeWindow(x->display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (trap.Succeeded()) editor.ClientResized(w, h);
}

bool X11Window::CreateWindowIn(unsigned long parentWindow, int32_t left, int32_t top, int32_t w, int32_t h,
                               bool topLevel, const std::string& title)
{
    if (editor.Width() <= 0 || editor.Height() <= 0 || w <= 0 || h <= 0) return false;
    if (!Prepare()) return false;
    Display* display = x->display;
    const Window parentId = parentWindow ? parentWindow : DefaultRootWindow(display);

    ErrorTrap trap(display);
    XWindowAttributes parentAttributes = {};
    if (!XGetWindowAttributes(display, parentId, &parentAttributes) || !trap.Succeeded()) return false;

    XSetWindowAttributes attributes = {};
    attributes.background_pixmap = None;  // the paint covers the whole area; no flash of a fill
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | StructureNotifyMask;
    const Window made = XCreateWindow(display, parentId, left, top, static_cast<unsigned>(w),
                                      static_cast<unsigned>(h), 0, CopyFromParent, InputOutput,
                                      CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    if (!trap.Succeeded() || !made) return false;

    x->visual = parentAttributes.visual;
    x->depth = parentAttributes.depth;
    x->gc = XCreateGC(display, made, 0, nullptr);
    XStoreName(display, made, title.c_str());
    if (topLevel) {
        XSetWMProtocols(display, made, &x->deleteWindow, 1);
        XSizeHints hints = {};
        hints.flags = PPosition | PMinSize | PMaxSize;
        hints.x = left;
        hints.y = top;
        hints.min_width = hints.max_width = w;
        hints.min_height = hints.max_height = h;
        XSetWMNormalHints(display, made, &hints);
    }
    XMapWindow(display, made);
    if (!trap.Succeeded()) {
        XFreeGC(display, x->gc);
        x->gc = nullptr;
        XDestroyWindow(display, made);
        trap.Succeeded();
        return false;
    }
    window = made;
    painting = false;
    lastPressWasDouble = true;
    nextTickMs = NowMs() + Graphics::TimerPeriod();
    topLevelWindow = topLevel;
    editor.ClientResized(w, h);
    return true;
}

void X11Window::Destroy()
{
    if (!window) return;
    const Window closing = window;
    window = 0;
    painting = false;
    if (!x || !x->display) return;
    // The host may have destroyed its window, and ours with it, already.
    ErrorTrap trap(x->display);
    if (x->gc) XFreeGC(x->display, x->gc);
    x->gc = nullptr;
    XDestroyWindow(x->display, closing);
    trap.Succeeded();
}

Rect X11Window::FloatingRect() const
{
    if (!window) return Rect();
    ErrorTrap trap(x->display);
    Window child = 0;
    int rx = 0, ry = 0;
    if (!XTranslateCoordinates(x->display, window, DefaultRootWindow(x->display), 0, 0, &rx, &ry, &child) ||
        !trap.Succeeded())
        return Rect();
    return Rect(rx, ry, rx + editor.ClientWidth(), ry + editor.ClientHeight());
}

void X11Window::SetTitle(const std::string& text)
{
    if (!window) return;
    ErrorTrap trap(x->display);
    XStoreName(x->display, window, text.c_str());
    trap.Succeeded();
}

std::string X11Window::HostFolder() const
{
    return ProgramFolder();
}

std::string X11Window::PluginFolder() const
{
    return ModuleFolder();
}

bool X11Window::OpenUrl(const std::string& url)
{
    // xdg-open may stay until the browser it starts has closed: it is started without a
    // shell (the address is one argument, never part of a command) and a thread of its own
    // waits for it, so the editor's thread waits for nothing.
    const char* const argv[] = {"xdg-open", url.c_str(), nullptr};
    posix_spawn_file_actions_t files;
    if (posix_spawn_file_actions_init(&files) != 0) return false;
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t opener = 0;
    const bool started =
        posix_spawnp(&opener, "xdg-open", &files, nullptr, const_cast<char* const*>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&files);
    if (!started) return false;
    try {
        std::thread([opener] {
            int status = 0;
            while (waitpid(opener, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (...) {
        // No thread: the opener is left for the host to reap.
    }
    return true;
}

Surface* X11Window::LoadModuleImage(int32_t id)
{
    return LoadPngResource(ModuleHandleRef(), id, nullptr);
}

bool X11Window::ServeEvents()
{
    return ServeEvents(NowMs());
}

bool X11Window::ServeEvents(uint64_t now)
{
    if (!window) return false;
    Display* display = x->display;
    while (window && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        HandleEvent(&event);
    }
    if (!window) return false;
    // Ticks keep to their own grid, so a host idling at 30 Hz still sees 24 paints a second;
    // a host idling slower gets one at every call.
    if (now >= nextTickMs) {
        nextTickMs += Graphics::TimerPeriod();
        if (nextTickMs <= now) nextTickMs = now + Graphics::TimerPeriod();
        editor.Tick();
    }
    // What an expose left to repaint is painted once the queue is empty, as WM_PAINT is.
    editor.PaintInvalid();
    return window != 0;
}

void X11Window::PaintNow()
{
    editor.Paint();
}

bool X11Window::BeginPaint(Rect&)
{
    if (!window) return false;
    painting = true;
    return true;
}

bool X11Window::Present(const Surface* picture, const Rect& area)
{
    if (!painting) return false;
    painting = false;
    if (!picture || !HasPixels(*picture) || !HasArea(area) || !window) return true;
    const int32_t w = editor.ClientWidth();
    const int32_t h = editor.ClientHeight();
    const int32_t right = std::min(area.right, w);
    const int32_t bottom = std::min(area.bottom, h);
    if (right <= area.left || bottom <= area.top) return true;
    Visual* visual = x->visual;
    const bool direct = (x->depth == 24 || x->depth == 32) && visual->red_mask == 0xFF0000 &&
                        visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
    // The image wants the window's pixels in one block: the picture's, black beyond it.
    try {
        x->converted.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    } catch (...) {
        return false;
    }
    const int rs = ShiftOfMask(visual->red_mask), gs = ShiftOfMask(visual->green_mask),
              bs = ShiftOfMask(visual->blue_mask);
    for (int32_t y = area.top; y < bottom; ++y) {
        uint32_t* to = x->converted.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        const uint32_t* from = y < picture->height() ? SurfaceRow(*picture, y) : nullptr;
        const int32_t inside = from ? std::min(right, picture->width()) : area.left;
        for (int32_t px = area.left; px < right; ++px) {
            const uint32_t c = px < inside ? from[px] : 0u;
            if (direct) {
                to[px] = c | 0xFF000000u;
            } else {
                const unsigned long r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
                to[px] = static_cast<uint32_t>(((r << rs) & visual->red_mask) | ((g << gs) & visual->green_mask) |
                                               ((b << bs) & visual->blue_mask));
            }
        }
    }
    XImage* image = XCreateImage(x->display, visual, static_cast<unsigned>(x->depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(x->converted.data()), static_cast<unsigned>(w),
                                 static_cast<unsigned>(h), 32, w * 4);
    if (!image) return false;
    image->byte_order = LSBFirst;  // the words are in this machine's order; Xlib swaps if it must
    XPutImage(x->display, window, x->gc, image, area.left, area.top, area.left, area.top,
              static_cast<unsigned>(right - area.left), static_cast<unsigned>(bottom - area.top));
    image->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image);
    XFlush(x->display);
    return true;
}

namespace {

MouseKeys KeysOf(unsigned int state)
{
    MouseKeys keys;
    keys.left = (state & Button1Mask) ? 1 : 0;
    keys.right = (state & Button3Mask) ? 1 : 0;
    keys.shift = (state & ShiftMask) ? 1 : 0;
    keys.ctrl = (state & ControlMask) ? 1 : 0;
    keys.alt = (state & Mod1Mask) ? 1 : 0;
    return keys;
}

}  // namespace

void X11Window::ButtonPressed(const void* raw)
{
    const XButtonEvent& b = *static_cast<const XButtonEvent*>(raw);
    MouseKeys keys = KeysOf(b.state);
    if (b.button == Button4 || b.button == Button5) {
        editor.WheelTurned(b.x, b.y, keys, b.button == Button4 ? 1 : -1);
        return;
    }
    if (b.button != Button1 && b.button != Button3) {
        lastPressWasDouble = true;  // another button breaks a double click
        return;
    }
    // The state is the one before this press: the pressed button counts as held.
    if (b.button == Button1) keys.left = 1; else keys.right = 1;
    const uint64_t now = static_cast<uint64_t>(b.time);
    const bool isDouble = !lastPressWasDouble && lastPressButton == b.button && now - lastPressMs <= kDoubleClickMs &&
                          std::abs(b.x - lastPressX) <= kDoubleClickBox / 2 &&
                          std::abs(b.y - lastPressY) <= kDoubleClickBox / 2;
    lastPressMs = now;
    lastPressX = b.x;
    lastPressY = b.y;
    lastPressButton = b.button;
    lastPressWasDouble = isDouble;
    if (isDouble) {
        // The second press of a double click is not a press; only the left one has a use.
        if (b.button == Button1) editor.DoubleClicked(b.x, b.y, keys);
        return;
    }
    editor.ButtonPressed(b.x, b.y, keys);
}

void X11Window::HandleEvent(void* raw)
{
    XEvent& event = *static_cast<XEvent*>(raw);
    if (event.xany.window != window) return;
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.width != editor.ClientWidth() || event.xconfigure.height != editor.ClientHeight())
            editor.ClientResized(event.xconfigure.width, event.xconfigure.height);
        break;
    case Expose:
        editor.Invalidate(Rect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                               event.xexpose.y + event.xexpose.height));
        break;
    case ButtonPress:
        ButtonPressed(&event.xbutton);
        break;
    case ButtonRelease: {
        const XButtonEvent& b = event.xbutton;
        if (b.button == Button1 || b.button == Button3) editor.ButtonReleased(b.x, b.y);
        break;
    }
    case EnterNotify:
        editor.PointerEntered();
        editor.PointerMoved(event.xcrossing.x, event.xcrossing.y, KeysOf(event.xcrossing.state));
        break;
    case MotionNotify:
        editor.PointerMoved(event.xmotion.x, event.xmotion.y, KeysOf(event.xmotion.state));
        break;
    case LeaveNotify:
        editor.PointerLeft();
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == x->deleteWindow) editor.CloseWindow();
        break;
    case DestroyNotify:
        // Gone with the host's window: nothing is left to destroy.
        if (x->gc) XFreeGC(x->display, x->gc);
        x->gc = nullptr;
        window = 0;
        painting = false;
        editor.WindowLost();
        break;
    default:
        break;
    }
}
