#include "graphics/x11/X11Window.h"

#include <dlfcn.h>
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
#include <vector>

#include "graphics/GraphicsRaster.h"
#include "graphics/PngLoader.h"
#include "graphics/ScaleBlit.h"
#include "graphics/SystemSurface.h"
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

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
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

X11Window::X11Window(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
    : Graphics(plug, width, height, framesPerSecond)
{
}

X11Window::~X11Window()
{
    CloseWindow();
    if (x && x->display) XCloseDisplay(x->display);
    delete x;
}

void* X11Window::GetWindowHandle() const
{
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
}

bool X11Window::OpenWindow(void* parent)
{
    hostParent = parent;
    // The screen's scale is read from the display before the size is chosen.
    if (!OpenDisplay()) return false;
    if (floating) {
        if (window) return true;
        return OpenFloatingWindow(Rect(128, 128, 128 + width * WantedScale(), 128 + height * WantedScale()));
    }
    int32_t left = 0;
    int32_t top = 0;
    // The room the host made when it asked for our size, else the size we want.
    int32_t w = roomWidth > 0 ? roomWidth : width * WantedScale();
    int32_t h = roomHeight > 0 ? roomHeight : height * WantedScale();
    if (window) {
        // Made anew in the new parent, at the place it had in the old one.
        Window root = 0;
        int wx = 0, wy = 0;
        unsigned int ww = 0, wh = 0, border = 0, depth = 0;
        ErrorTrap trap(x->display);
        if (XGetGeometry(x->display, window, &root, &wx, &wy, &ww, &wh, &border, &depth)) {
            left = wx;
            top = wy;
            w = static_cast<int32_t>(ww);
            h = static_cast<int32_t>(wh);
        }
        CloseWindow();
    }
    const unsigned long parentWindow = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent));
    return CreateWindowIn(parentWindow, left, top, w, h, parentWindow == 0);
}

bool X11Window::OpenFloatingWindow(const Rect& rect)
{
    if (window) return true;
    const auto extent = [](int64_t from, int64_t to, int32_t fallback) {
        return to > from ? static_cast<int32_t>(std::min<int64_t>(to - from, 16384)) : fallback;
    };
    return CreateWindowIn(0, rect.left, rect.top, extent(rect.left, rect.right, width * WantedScale()),
                          extent(rect.top, rect.bottom, height * WantedScale()), true);
}

bool X11Window::OpenDisplay()
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
    return std::min(kMaxScale, static_cast<int32_t>(factor));
}

void X11Window::SetResizer(Resizer newResizer, void* context)
{
    resizer = newResizer;
    resizerContext = context;
}

void X11Window::FixSizeHints(int32_t w, int32_t h)
{
    XSizeHints hints = {};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = w;
    hints.min_height = hints.max_height = h;
    XSetWMNormalHints(x->display, window, &hints);
}

void X11Window::RoomChanged(int32_t w, int32_t h)
{
    clientWidth = std::max(w, 0);
    clientHeight = std::max(h, 0);
    shownScale = FittingScale(clientWidth, clientHeight);
    Invalidate(Rect(0, 0, clientWidth, clientHeight));
}

void X11Window::ApplyScale()
{
    if (!window) return;
    const int32_t w = width * WantedScale(), h = height * WantedScale();
    if (w != clientWidth || h != clientHeight) {
        // A window of its own is ours to resize; inside the host's, the host makes the room.
        const bool room = topLevelWindow || (resizer ? resizer(resizerContext, w, h) : plug && plug->RequestEditorSize(w, h));
        if (room) {
            roomWidth = w;
            roomHeight = h;
            ErrorTrap trap(x->display);
            if (topLevelWindow) FixSizeHints(w, h);
            XResizeWindow(x->display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
            if (trap.Succeeded()) RoomChanged(w, h);
        }
    }
    shownScale = FittingScale(clientWidth, clientHeight);
    Invalidate(Rect(0, 0, clientWidth, clientHeight));
}

bool X11Window::CreateWindowIn(unsigned long parentWindow, int32_t left, int32_t top, int32_t w, int32_t h,
                               bool topLevel)
{
    if (width <= 0 || height <= 0 || w <= 0 || h <= 0) return false;
    if (!OpenDisplay()) return false;
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
    if (!topLevel) {
        XStoreName(display, made, "Vireo");
    } else {
        const std::string name = plug ? plug->EffectName() : std::string();
        XStoreName(display, made, name.c_str());
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
    invalid = Rect();
    hasCapture = trackingLeave = leaveWhileCaptured = painting = false;
    lastPressWasDouble = true;
    nextTickMs = NowMs() + TimerPeriod();
    topLevelWindow = topLevel;
    // A window that is shown owes one paint of its whole client area.
    RoomChanged(w, h);
    // A window made at another size than the editor wants asks for room at its first tick.
    if (w != width * WantedScale() || h != height * WantedScale()) RequestScale();
    return true;
}

void X11Window::CloseWindow()
{
    if (!window) return;
    const Window closing = window;
    window = 0;
    invalid = Rect();
    hasCapture = trackingLeave = leaveWhileCaptured = painting = false;
    if (!x || !x->display) return;
    // The host may have destroyed its window, and ours with it, already.
    ErrorTrap trap(x->display);
    if (x->gc) XFreeGC(x->display, x->gc);
    x->gc = nullptr;
    XDestroyWindow(x->display, closing);
    trap.Succeeded();
}

Rect X11Window::GetFloatingWindowRect() const
{
    if (!window) return Rect();
    ErrorTrap trap(x->display);
    Window child = 0;
    int rx = 0, ry = 0;
    if (!XTranslateCoordinates(x->display, window, DefaultRootWindow(x->display), 0, 0, &rx, &ry, &child) ||
        !trap.Succeeded())
        return Rect();
    return Rect(rx, ry, rx + clientWidth, ry + clientHeight);
}

void X11Window::SetWindowTitle(const std::string& text)
{
    if (!window) return;
    ErrorTrap trap(x->display);
    XStoreName(x->display, window, text.c_str());
    trap.Succeeded();
}

bool X11Window::PromptParamValue(Control*, Param*)
{
    return false;
}

std::string X11Window::GetHostPath()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return std::string();
    return FolderOf(std::string(path, static_cast<size_t>(n)));
}

std::string X11Window::GetPluginPath()
{
    Dl_info info = {};
    if (!dladdr(reinterpret_cast<void*>(&NowMs), &info) || !info.dli_fname) return std::string();
    return FolderOf(info.dli_fname);
}

bool X11Window::PromptForFile(std::string& path, bool, const std::string&, const std::string&)
{
    path.clear();
    return false;
}

bool X11Window::PromptForColour(Colour&, const std::string&)
{
    return false;
}

bool X11Window::OpenUrl(const std::string& url)
{
    if (url.empty()) return false;
    // xdg-open may stay until the browser it starts has closed: a shell starts it apart and
    // ends at once, so the editor's thread waits for nothing. The address is an argument,
    // never part of the command.
    const char* const argv[] = {"sh", "-c", "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &", "sh", url.c_str(),
                                nullptr};
    pid_t shell = 0;
    if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return false;
    int status = 0;
    while (waitpid(shell, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

Surface* X11Window::LoadModuleImage(int32_t id)
{
    return LoadPngResource(ModuleHandleRef(), id, nullptr);
}

void X11Window::Invalidate(const Rect& area)
{
    if (!window) return;
    const Rect clipped(std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, clientWidth),
                       std::min(area.bottom, clientHeight));
    if (!HasArea(clipped)) return;
    invalid = HasArea(invalid) ? RectUnion(invalid, clipped) : clipped;
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
        nextTickMs += TimerPeriod();
        if (nextTickMs <= now) nextTickMs = now + TimerPeriod();
        Tick();
    }
    // What an expose left to repaint is painted once the queue is empty, as WM_PAINT is.
    if (HasArea(invalid)) Paint();
    return window != 0;
}

void X11Window::Tick()
{
    TakeHostChanges();
    if (TakeScaleRequest()) ApplyScale();
    Rect area;
    if (IsAnyDirty(area)) Invalidate(ScaledArea(area, shownScale));
    if (HasArea(invalid)) Paint();
}

bool X11Window::BeginWindowPaint()
{
    if (!window) return false;
    paintArea = HasArea(invalid) ? invalid : Rect();
    invalid = Rect();
    painting = true;
    return true;
}

bool X11Window::PresentPaint(const SystemSurface* surface)
{
    if (!painting) return false;
    painting = false;
    if (!surface || !HasPixels(*surface) || !HasArea(paintArea) || !window) return true;
    const int32_t right = std::min(paintArea.right, clientWidth);
    const int32_t bottom = std::min(paintArea.bottom, clientHeight);
    if (right <= paintArea.left || bottom <= paintArea.top) return true;
    const int32_t w = clientWidth;
    const int32_t h = clientHeight;
    const int32_t s = std::max(1, shownScale);
    Visual* visual = x->visual;
    const bool direct = (x->depth == 24 || x->depth == 32) && visual->red_mask == 0xFF0000 &&
                        visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
    // The image wants the window's pixels in one block: the picture's blocks, black beyond.
    try {
        x->converted.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    } catch (...) {
        return false;
    }
    const PixelRows rows{x->converted.data(), w, w, h};
    ScaleBlit(rows, RowsOf(*surface), SourceAreaOf(paintArea, s), s);
    const int32_t pictureRight = std::min(right, surface->width() * s);
    const int32_t pictureBottom = std::min(bottom, surface->height() * s);
    const int rs = ShiftOfMask(visual->red_mask), gs = ShiftOfMask(visual->green_mask),
              bs = ShiftOfMask(visual->blue_mask);
    for (int32_t y = paintArea.top; y < bottom; ++y) {
        uint32_t* to = x->converted.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int32_t px = paintArea.left; px < right; ++px) {
            const uint32_t c = px < pictureRight && y < pictureBottom ? to[px] : 0u;
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
    XPutImage(x->display, window, x->gc, image, paintArea.left, paintArea.top, paintArea.left, paintArea.top,
              static_cast<unsigned>(right - paintArea.left), static_cast<unsigned>(bottom - paintArea.top));
    image->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image);
    XFlush(x->display);
    return true;
}

MouseKeys X11Window::KeysOf(unsigned int state) const
{
    MouseKeys keys;
    keys.left = (state & Button1Mask) ? 1 : 0;
    keys.right = (state & Button3Mask) ? 1 : 0;
    keys.shift = (state & ShiftMask) ? 1 : 0;
    keys.ctrl = (state & ControlMask) ? 1 : 0;
    keys.alt = (state & Mod1Mask) ? 1 : 0;
    return keys;
}

void X11Window::HandleEvent(void* raw)
{
    XEvent& event = *static_cast<XEvent*>(raw);
    if (event.xany.window != window) return;
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.width != clientWidth || event.xconfigure.height != clientHeight)
            RoomChanged(event.xconfigure.width, event.xconfigure.height);
        break;
    case Expose:
        Invalidate(Rect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                        event.xexpose.y + event.xexpose.height));
        break;
    case ButtonPress: {
        const XButtonEvent& b = event.xbutton;
        MouseKeys keys = KeysOf(b.state);
        if (b.button == Button4 || b.button == Button5) {
            OnMouseWheel(b.x, b.y, keys, b.button == Button4 ? 1 : -1);
            break;
        }
        if (b.button != Button1 && b.button != Button3) {
            lastPressWasDouble = true;  // another button breaks a double click
            break;
        }
        // The state is the one before this press: the pressed button counts as held.
        if (b.button == Button1) keys.left = 1; else keys.right = 1;
        const uint64_t now = static_cast<uint64_t>(b.time);
        const bool isDouble = !lastPressWasDouble && lastPressButton == b.button &&
                              now - lastPressMs <= kDoubleClickMs &&
                              std::abs(b.x - lastPressX) <= kDoubleClickBox / 2 &&
                              std::abs(b.y - lastPressY) <= kDoubleClickBox / 2;
        lastPressMs = now;
        lastPressX = b.x;
        lastPressY = b.y;
        lastPressButton = b.button;
        lastPressWasDouble = isDouble;
        if (isDouble) {
            // The second press of a double click is not a press; only the left one has a use.
            if (b.button == Button1) OnMouseDblClick(b.x, b.y, keys);
            break;
        }
        hasCapture = true;
        OnMouseDown(b.x, b.y, keys);
        break;
    }
    case ButtonRelease: {
        const XButtonEvent& b = event.xbutton;
        if (b.button != Button1 && b.button != Button3) break;
        hasCapture = false;
        OnMouseUp(b.x, b.y);
        if (leaveWhileCaptured) {
            leaveWhileCaptured = false;
            if (b.x < 0 || b.y < 0 || b.x >= clientWidth || b.y >= clientHeight) {
                if (trackingLeave) {
                    trackingLeave = false;
                    OnMouseOut();
                }
            }
        }
        break;
    }
    case MotionNotify:
    case EnterNotify: {
        const int px = event.type == MotionNotify ? event.xmotion.x : event.xcrossing.x;
        const int py = event.type == MotionNotify ? event.xmotion.y : event.xcrossing.y;
        const unsigned state = event.type == MotionNotify ? event.xmotion.state : event.xcrossing.state;
        if (event.type == EnterNotify) leaveWhileCaptured = false;
        const MouseKeys keys = KeysOf(state);
        if (keys.left || keys.right) {
            if (hasCapture) OnMouseDrag(px, py, keys);
            break;
        }
        if (OnMouseOver(px, py, keys)) trackingLeave = true;
        break;
    }
    case LeaveNotify:
        if (hasCapture) {
            leaveWhileCaptured = true;
        } else if (trackingLeave) {
            trackingLeave = false;
            OnMouseOut();
        }
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == x->deleteWindow) CloseWindow();
        break;
    case DestroyNotify:
        // Gone with the host's window: nothing is left to destroy.
        if (x->gc) XFreeGC(x->display, x->gc);
        x->gc = nullptr;
        window = 0;
        invalid = Rect();
        hasCapture = trackingLeave = leaveWhileCaptured = painting = false;
        break;
    default:
        break;
    }
}

Graphics* CreateGraphics(PluginCore* plug, int32_t width, int32_t height, double framesPerSecond)
{
    try {
        return new GraphicsRaster(plug, width, height, framesPerSecond);
    } catch (...) {
        return nullptr;
    }
}
