// A connection of our own to the X server, one per editor window, so that nothing of the
// host's (its connection, its error handlers) is touched and no thread of the host shares it.
// Xlib reports errors through one handler for the whole process, and its defaults end the
// process; here an error of our requests goes to no handler at all (it is recorded with the
// connection, where the request's maker asks for it), and a broken connection only marks
// itself broken, for its windows to close.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

struct _XDisplay;

class X11Connection {
public:
    // Opens the display the environment names; null when there is none.
    static std::unique_ptr<X11Connection> Open();
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    _XDisplay* XDisplay() const { return display; }
    // True once the connection is lost (the server went, or someone killed our client):
    // nothing more can be asked of it.
    bool Broken() const { return broken.load(); }

    // Telling whether requests failed: Mark before them, FailedSince after them waits for
    // the server's answer to everything sent and tells whether any request from the mark on
    // failed (a lost connection counts as failure).
    uint64_t Mark() const;
    bool FailedSince(uint64_t mark);

    // Makes `window` a top-level window of one size, w x h at (x, y), that the window
    // manager closes by sending WM_DELETE_WINDOW (the atom DeleteWindow names).
    void SetTopLevelHints(unsigned long window, int32_t x, int32_t y, int32_t w, int32_t h);
    unsigned long DeleteWindow() const { return deleteWindow; }

    // How many errors the server has reported on this connection, for tests.
    uint64_t ErrorCount() const { return errors.load(); }

    // The recording side, for the process-wide table of our connections.
    void RecordError(uint64_t serial);
    void MarkBroken() { broken = true; }

private:
    explicit X11Connection(_XDisplay* display) : display(display) {}

    _XDisplay* display;
    unsigned long deleteWindow = 0;
    std::atomic<bool> broken{false};
    std::atomic<uint64_t> errors{0};
    std::atomic<uint64_t> lastErrorSerial{0};
};
