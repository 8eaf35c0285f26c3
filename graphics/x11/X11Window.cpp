#include "graphics/x11/X11Window.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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

#include "graphics/ColourChooser.h"
#include "graphics/GraphicsWindow.h"
#include "graphics/PngLoader.h"
#include "graphics/Surface.h"
#include "graphics/WindowNames.h"
#include "graphics/native/ModuleFolders.h"
#include "graphics/x11/X11ColourDialog.h"
#include "graphics/x11/X11Connection.h"
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

// The longest a prompt's loop sleeps between looks at whether it was ended from elsewhere.
constexpr int kPromptPollMs = 20;

}  // namespace

std::unique_ptr<PlatformWindow> MakePlatformWindow(GraphicsWindow& editor)
{
    return std::unique_ptr<PlatformWindow>(new X11Window(editor));
}

X11Window::X11Window(GraphicsWindow& editor) : editor(editor)
{
    image.SetSharing(X11Image::Sharing::On);
    // The editor repaints its displays at every tick, mostly to the same pixels (silence, a
    // frozen view): those frames stay here.
    image.SetSkipUnchanged(true);
}

X11Window::~X11Window()
{
    Destroy();
    x.reset();
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
    if (x && x->Broken() && !window && serving == 0) x.reset();
    if (x) return !x->Broken();
    x = X11Connection::Open();
    if (!x) return false;
    Display* display = x->XDisplay();
    // Xft.dpi from the resources the desktop set on the screen (xrdb), as they were when
    // the connection was made.
    screenFactor = 0.0;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase db = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value = {};
        if (db && XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
            screenFactor = LeadingNumber(value.addr) / 96.0;
        if (db) XrmDestroyDatabase(db);
    }
    return true;
}

void X11Window::ReleaseConnection()
{
    if (!window && serving == 0) x.reset();
}

Rect X11Window::Place() const
{
    Window root = 0;
    int wx = 0, wy = 0;
    unsigned int ww = 0, wh = 0, border = 0, depth = 0;
    if (!window) return Rect();
    if (x->Broken() || !XGetGeometry(x->XDisplay(), window, &root, &wx, &wy, &ww, &wh, &border, &depth))
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
    const double factor = hostScaleFactor > 0.0f ? static_cast<double>(hostScaleFactor) : screenFactor;
    if (!(factor >= 1.0) || !std::isfinite(factor)) return 1;
    return std::min(Graphics::kMaxScale, static_cast<int32_t>(factor));
}

void X11Window::FixSizeHints(int32_t w, int32_t h)
{
    XSizeHints hints = {};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = w;
    hints.min_height = hints.max_height = h;
    XSetWMNormalHints(x->XDisplay(), window, &hints);
}

void X11Window::Resize(int32_t w, int32_t h)
{
    if (!window || x->Broken()) return;
    const uint64_t mark = x->Mark();
    if (topLevelWindow) FixSizeHints(w, h);
    XResizeWindow(x->XDisplay(), window, static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!x->FailedSince(mark)) editor.ClientResized(w, h);
}

bool X11Window::CreateWindowIn(unsigned long parentWindow, int32_t left, int32_t top, int32_t w, int32_t h,
                               bool topLevel, const std::string& title)
{
    if (editor.Width() <= 0 || editor.Height() <= 0 || w <= 0 || h <= 0 || !Prepare()) {
        ReleaseConnection();
        return false;
    }
    Display* display = x->XDisplay();
    const Window parentId = parentWindow ? parentWindow : DefaultRootWindow(display);

    XWindowAttributes parentAttributes = {};
    if (!XGetWindowAttributes(display, parentId, &parentAttributes)) {
        ReleaseConnection();
        return false;
    }

    const uint64_t mark = x->Mark();
    XSetWindowAttributes attributes = {};
    attributes.background_pixmap = None;  // the paint covers the whole area; no flash of a fill
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | StructureNotifyMask;
    const Window made = XCreateWindow(display, parentId, left, top, static_cast<unsigned>(w),
                                      static_cast<unsigned>(h), 0, CopyFromParent, InputOutput,
                                      CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    GC madeGc = made ? XCreateGC(display, made, 0, nullptr) : nullptr;
    if (made) {
        XStoreName(display, made, title.c_str());
        if (topLevel) x->SetTopLevelHints(made, left, top, w, h);
        XMapWindow(display, made);
    }
    if (!made || x->FailedSince(mark)) {
        if (madeGc) XFreeGC(display, madeGc);
        if (made) XDestroyWindow(display, made);
        ReleaseConnection();
        return false;
    }
    image.SetVisual(parentAttributes.visual, parentAttributes.depth);
    gc = madeGc;
    window = made;
    painting = false;
    promptsEnded = false;
    lastPressWasDouble = true;
    nextTickMs = NowMs() + Graphics::TimerPeriod();
    topLevelWindow = topLevel;
    editor.ClientResized(w, h);
    return true;
}

void X11Window::Destroy()
{
    // A broken connection only frees what Xlib holds of the GC; a live one destroys the
    // window too, which the host may have destroyed already (the error goes nowhere).
    if (x) image.Release(*x);
    if (gc && x) XFreeGC(x->XDisplay(), gc);
    if (window && x && !x->Broken()) {
        XDestroyWindow(x->XDisplay(), window);
        XFlush(x->XDisplay());
    }
    gc = nullptr;
    window = 0;
    painting = false;
    ReleaseConnection();
}

void X11Window::WindowGone()
{
    image.Release(*x);
    if (gc) XFreeGC(x->XDisplay(), gc);
    gc = nullptr;
    window = 0;
    painting = false;
    editor.WindowLost();
}

Rect X11Window::FloatingRect() const
{
    if (!window || x->Broken()) return Rect();
    Window child = 0;
    int rx = 0, ry = 0;
    if (!XTranslateCoordinates(x->XDisplay(), window, DefaultRootWindow(x->XDisplay()), 0, 0, &rx, &ry, &child))
        return Rect();
    return Rect(rx, ry, rx + editor.ClientWidth(), ry + editor.ClientHeight());
}

void X11Window::SetTitle(const std::string& text)
{
    if (!window || x->Broken()) return;
    XStoreName(x->XDisplay(), window, text.c_str());
    XFlush(x->XDisplay());
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
    // waits for it, so the editor's thread waits for nothing. It takes none of the host's
    // descriptors along (a sound card the browser would keep open), nor its signal mask or
    // ignored signals, and runs in a process group of its own.
    const char* const argv[] = {"xdg-open", url.c_str(), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&files) != 0) return false;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&files);
        return false;
    }
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&files, 3);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t opener = 0;
    const bool started =
        posix_spawnp(&opener, "xdg-open", &files, &attributes, const_cast<char* const*>(argv), environ) == 0;
    posix_spawnattr_destroy(&attributes);
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
    ++serving;
    Display* display = x->XDisplay();
    while (window && !x->Broken() && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        HandleEvent(&event, false);
    }
    if (window && !x->Broken()) TickIfDue(now);
    if (window && x->Broken()) WindowGone();
    --serving;
    ReleaseConnection();
    return window != 0;
}

void X11Window::TickIfDue(uint64_t now)
{
    // Ticks keep to their own grid, so a host idling at 30 Hz still sees 24 paints a second;
    // a host idling slower gets one at every call.
    if (now >= nextTickMs) {
        nextTickMs += Graphics::TimerPeriod();
        if (nextTickMs <= now) nextTickMs = now + Graphics::TimerPeriod();
        editor.Tick();
    }
    // What an expose left to repaint is painted once the queue is empty, as WM_PAINT is.
    if (window) editor.PaintInvalid();
}

void X11Window::SetSharing(X11Image::Sharing sharing)
{
    if (x) image.Release(*x);
    image.SetSharing(sharing);
    editor.Invalidate(Rect(0, 0, editor.ClientWidth(), editor.ClientHeight()));
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
    if (!picture || !HasPixels(*picture) || !window || x->Broken()) return true;
    // Sent without waiting: a window the host destroyed meanwhile only brings an error
    // that goes nowhere, and its DestroyNotify follows.
    return image.Put(*x, window, gc, RowsOf(*picture), area, editor.ClientWidth(), editor.ClientHeight());
}

bool X11Window::PromptForColour(Colour& colour, const std::string& title)
{
    if (!window || x->Broken() || promptsEnded) return false;
    ColourChooser chooser(colour, title);
    Display* display = x->XDisplay();
    ++serving;
    // The chooser has the mouse now, as a system dialog takes the capture.
    editor.CaptureLost();
    {
        X11ColourDialog dialog(*x, chooser, editor.ShownScale());
        bool open = dialog.Open(window, editor.ClientWidth(), editor.ClientHeight());
        while (open && !chooser.Finished()) {
            while (window && !x->Broken() && !chooser.Finished() && XPending(display) > 0) {
                XEvent event;
                XNextEvent(display, &event);
                if (dialog.WindowId() && event.xany.window == dialog.WindowId())
                    dialog.Handle(event);
                else
                    HandleEvent(&event, true);
            }
            if (!window || x->Broken() || promptsEnded) break;
            const uint64_t now = NowMs();
            TickIfDue(now);
            if (!window || x->Broken()) break;
            dialog.Show();
            if (chooser.Finished() || XEventsQueued(display, QueuedAlready) > 0) continue;
            // Until something arrives or the next tick is due; a short nap at most, so that
            // an end asked for by another thread is seen soon.
            const uint64_t wait = nextTickMs > now ? nextTickMs - now : 0;
            pollfd fd = {ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(std::min<uint64_t>(wait, kPromptPollMs)));
        }
    }
    if (window && x->Broken()) WindowGone();
    --serving;
    ReleaseConnection();
    if (!chooser.Finished() || !chooser.Confirmed()) return false;
    // The chooser gives red, green and blue; alpha stays.
    const Colour chosen = chooser.Result();
    colour.r = chosen.r;
    colour.g = chosen.g;
    colour.b = chosen.b;
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

void X11Window::HandleEvent(void* raw, bool modal)
{
    XEvent& event = *static_cast<XEvent*>(raw);
    if (event.xany.window != window || image.TakeCompletion(*x, event)) return;
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.width != editor.ClientWidth() || event.xconfigure.height != editor.ClientHeight())
            editor.ClientResized(event.xconfigure.width, event.xconfigure.height);
        break;
    case Expose:
        // The window lost these pixels: they are put again, changed or not.
        image.Forget();
        editor.Invalidate(Rect(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                               event.xexpose.y + event.xexpose.height));
        break;
    case ButtonPress:
        if (!modal) ButtonPressed(&event.xbutton);
        break;
    case ButtonRelease: {
        const XButtonEvent& b = event.xbutton;
        if (!modal && (b.button == Button1 || b.button == Button3)) editor.ButtonReleased(b.x, b.y);
        break;
    }
    case EnterNotify:
        if (modal) break;
        editor.PointerEntered();
        editor.PointerMoved(event.xcrossing.x, event.xcrossing.y, KeysOf(event.xcrossing.state));
        break;
    case MotionNotify:
        if (!modal) editor.PointerMoved(event.xmotion.x, event.xmotion.y, KeysOf(event.xmotion.state));
        break;
    case LeaveNotify:
        if (!modal) editor.PointerLeft();
        break;
    case ClientMessage:
        if (static_cast<Atom>(event.xclient.data.l[0]) == x->DeleteWindow()) editor.CloseWindow();
        break;
    case DestroyNotify:
        // Gone with the host's window: nothing is left to destroy.
        WindowGone();
        break;
    default:
        break;
    }
}
