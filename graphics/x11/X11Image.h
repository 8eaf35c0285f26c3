// Puts pictures of packed 0xAARRGGBB pixels on an X window: as they are when the window's
// visual is 8-8-8 RGB, through its colour masks otherwise, black beyond the picture. The
// window's pixels are kept in one block between puts: a segment shared with the server when
// the server is on this machine and takes it (the MIT-SHM extension), which saves copying
// the picture through the socket; ordinary memory sent with each put otherwise.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/Rect.h"
#include "graphics/ScaleBlit.h"

struct _XDisplay;
struct _XGC;
struct _XImage;
union _XEvent;
class X11Connection;

class X11Image {
public:
    // Whether puts may go through shared memory. Refused: as a server that refuses to attach
    // the segment, for trying the way back to ordinary puts.
    enum class Sharing { Off, On, Refused };

    X11Image();
    ~X11Image();
    X11Image(const X11Image&) = delete;
    X11Image& operator=(const X11Image&) = delete;

    // The window's visual (an Xlib Visual*) and depth, for a window made anew.
    void SetVisual(void* visual, int32_t depth);
    void SetSharing(Sharing newSharing) { sharing = newSharing; }
    // A put whose area holds the same pixels the window already shows is not sent, until
    // Forget (the window lost its pixels: an expose).
    void SetSkipUnchanged(bool skip) { skipUnchanged = skip; }
    void Forget() { shown = false; }

    // Puts `area` of a window of width x height, taken from `picture`. True when it was sent
    // or had no need to be (the server may still refuse it: a window the host destroyed).
    bool Put(X11Connection& connection, unsigned long window, _XGC* gc, const PixelRows& picture, const Rect& area,
             int32_t width, int32_t height);
    // Takes the server's notice that a shared put is done with the segment; false for any
    // other event.
    bool TakeCompletion(X11Connection& connection, const _XEvent& event);
    // Gives the segment back, ahead of the window's or the connection's end.
    void Release(X11Connection& connection);

    // What the puts did, for tests and measurements.
    bool SharesMemory() const { return segment != nullptr; }
    uint64_t Presented() const { return presented; }
    uint64_t Skipped() const { return skipped; }

private:
    struct Segment;
    // Makes the block of w x h pixels; false without memory.
    bool Prepare(X11Connection& connection, int32_t w, int32_t h);
    bool Attach(X11Connection& connection, int32_t w, int32_t h);
    // Waits until the server has read the segment for the last shared put.
    void AwaitPut(X11Connection& connection);

    void* visual = nullptr;
    int32_t depth = 0;
    Sharing sharing = Sharing::Off;
    bool skipUnchanged = false;
    // Whether the server was found unable to share memory with us, for this window.
    bool sharingFailed = false;
    bool sharingChecked = false;
    // Whether the window shows what the block holds (outside the area being put, at least).
    bool shown = false;
    bool putPending = false;
    int completionType = -1;
    int32_t blockWidth = 0;
    int32_t blockHeight = 0;
    uint32_t* block = nullptr;
    std::unique_ptr<Segment> segment;
    std::vector<uint32_t> converted;
    uint64_t presented = 0;
    uint64_t skipped = 0;
};
