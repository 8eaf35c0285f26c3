#include "graphics/x11/X11Connection.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
// For XESetWireToError, the per-display hook every error passes before any handler.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace {

// Our open connections. The hooks below look a display up here; nothing holding the lock
// calls Xlib, so a hook never waits for a thread that waits for Xlib.
std::mutex tableLock;
std::vector<X11Connection*>& Table()
{
    static std::vector<X11Connection*> table;
    return table;
}

X11Connection* Find(Display* display)
{
    for (X11Connection* c : Table())
        if (c->XDisplay() == display) return c;
    return nullptr;
}

// Installed for every error code of our displays only: the error is recorded and goes to
// no handler, neither the host's nor Xlib's default (which ends the process).
Bool DropError(Display* display, XErrorEvent* error, xError*)
{
    std::lock_guard<std::mutex> hold(tableLock);
    if (X11Connection* c = Find(display)) c->RecordError(error ? error->serial : 0);
    return False;
}

// The I/O error handler is process-wide and cannot be had per display: ours is put in front
// of the host's once, and hands on every display that is not ours. For ours it only marks
// the connection broken; the exit handler of the display (set per display) then returns
// instead of ending the process, and Xlib treats the display as dead from then on.
XIOErrorHandler hostIoHandler = nullptr;

int IoError(Display* display)
{
    {
        std::lock_guard<std::mutex> hold(tableLock);
        if (X11Connection* c = Find(display)) {
            c->MarkBroken();
            return 0;
        }
    }
    return hostIoHandler ? hostIoHandler(display) : 0;
}

void IoErrorExit(Display* display, void* connection)
{
    static_cast<X11Connection*>(connection)->MarkBroken();
    // Xlib let go of the display's lock before the handlers and its caller lets go of it
    // again on our return: taken back here, the two match.
    LockDisplay(display);
}

void InstallIoHandlerOnce()
{
    // Never taken out again: a handler installed after ours may hand on to it. The module
    // stays loaded for that (it is linked not to be unloaded).
    static std::once_flag once;
    std::call_once(once, [] { hostIoHandler = XSetIOErrorHandler(IoError); });
}

}  // namespace

std::unique_ptr<X11Connection> X11Connection::Open()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    std::unique_ptr<X11Connection> connection(new (std::nothrow) X11Connection(display));
    if (!connection) {
        XCloseDisplay(display);
        return nullptr;
    }
    try {
        std::lock_guard<std::mutex> hold(tableLock);
        Table().push_back(connection.get());
    } catch (...) {
        XCloseDisplay(display);
        connection->display = nullptr;
        return nullptr;
    }
    for (int code = 0; code < 256; ++code) XESetWireToError(display, code, DropError);
    XSetIOErrorExitHandler(display, IoErrorExit, connection.get());
    InstallIoHandlerOnce();
    connection->deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    return connection;
}

X11Connection::~X11Connection()
{
    if (!display) return;
    // Still in the table while it closes: closing a broken connection reports again.
    XCloseDisplay(display);
    std::lock_guard<std::mutex> hold(tableLock);
    auto& table = Table();
    table.erase(std::remove(table.begin(), table.end(), this), table.end());
}

uint64_t X11Connection::Mark() const
{
    return NextRequest(display);
}

bool X11Connection::FailedSince(uint64_t mark)
{
    if (!Broken()) XSync(display, False);
    return Broken() || (errors.load() != 0 && lastErrorSerial.load() >= mark);
}

void X11Connection::RecordError(uint64_t serial)
{
    lastErrorSerial = std::max(lastErrorSerial.load(), serial);
    ++errors;
}

void X11Connection::SetTopLevelHints(unsigned long window, int32_t x, int32_t y, int32_t w, int32_t h)
{
    Atom protocols = deleteWindow;
    XSetWMProtocols(display, window, &protocols, 1);
    XSizeHints hints = {};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = w;
    hints.min_height = hints.max_height = h;
    XSetWMNormalHints(display, window, &hints);
}
