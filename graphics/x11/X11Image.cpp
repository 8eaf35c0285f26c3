#include "graphics/x11/X11Image.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>

#include <algorithm>
#include <new>

#include "graphics/x11/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

struct X11Image::Segment {
    XShmSegmentInfo info = {};
    XImage* image = nullptr;
};

namespace {

int ShiftOfMask(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// A server reached through a network socket cannot see our memory, and one elsewhere could
// even attach a segment of its own machine under the same id: only a local socket shares.
bool LocalServer(Display* display)
{
    sockaddr_storage address = {};
    socklen_t length = sizeof address;
    if (getsockname(ConnectionNumber(display), reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
    return address.ss_family == AF_UNIX;
}

void DropImage(XImage* image)
{
    if (!image) return;
    // The pixels and a shared image's segment record are ours, not Xlib's to free.
    image->data = nullptr;
    image->obdata = nullptr;
    XDestroyImage(image);
}

}  // namespace

X11Image::X11Image() = default;

X11Image::~X11Image()
{
    // Without the connection only our side can go; the server lets go with the connection.
    if (segment) {
        shmdt(segment->info.shmaddr);
        DropImage(segment->image);
    }
}

void X11Image::SetVisual(void* newVisual, int32_t newDepth)
{
    visual = newVisual;
    depth = newDepth;
    sharingFailed = false;
    sharingChecked = false;
    shown = false;
}

void X11Image::Release(X11Connection& connection)
{
    if (segment) {
        // The detach follows any put still queued, so the server has read it by then.
        if (!connection.Broken()) {
            XShmDetach(connection.XDisplay(), &segment->info);
            XFlush(connection.XDisplay());
        }
        shmdt(segment->info.shmaddr);
        DropImage(segment->image);
        segment.reset();
    }
    converted = std::vector<uint32_t>();
    block = nullptr;
    blockWidth = blockHeight = 0;
    putPending = false;
    shown = false;
}

bool X11Image::Attach(X11Connection& connection, int32_t w, int32_t h)
{
    Display* display = connection.XDisplay();
    auto* v = static_cast<Visual*>(visual);
    if (!sharingChecked) {
        sharingChecked = true;
        sharingFailed = !XShmQueryExtension(display) || !LocalServer(display);
        completionType = sharingFailed ? -1 : XShmGetEventBase(display) + ShmCompletion;
    }
    if (sharingFailed) return false;
    std::unique_ptr<Segment> made(new (std::nothrow) Segment);
    if (!made) return false;
    made->image = XShmCreateImage(display, v, static_cast<unsigned>(depth), ZPixmap, nullptr, &made->info,
                                  static_cast<unsigned>(w), static_cast<unsigned>(h));
    // The pixels are written as words of this machine's order, a row after another.
    const uint32_t one = 1;
    const bool littleEndian = *reinterpret_cast<const unsigned char*>(&one) == 1;
    if (!made->image || made->image->bits_per_pixel != 32 || made->image->bytes_per_line != w * 4 ||
        made->image->byte_order != (littleEndian ? LSBFirst : MSBFirst)) {
        DropImage(made->image);
        sharingFailed = true;
        return false;
    }
    // Private, and marked for removal as soon as the server holds it: the segment goes with
    // the last process attached, whatever becomes of the host.
    made->info.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(w) * static_cast<size_t>(h) * 4u, IPC_CREAT | 0600);
    if (made->info.shmid < 0) {
        DropImage(made->image);
        return false;
    }
    made->info.shmaddr = static_cast<char*>(shmat(made->info.shmid, nullptr, 0));
    if (made->info.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(made->info.shmid, IPC_RMID, nullptr);
        DropImage(made->image);
        return false;
    }
    made->image->data = made->info.shmaddr;
    made->info.readOnly = True;
    XShmSegmentInfo asked = made->info;
    if (sharing == Sharing::Refused) asked.shmid = -1;
    const uint64_t mark = connection.Mark();
    XShmAttach(display, &asked);
    const bool failed = connection.FailedSince(mark);
    shmctl(made->info.shmid, IPC_RMID, nullptr);
    if (failed) {
        shmdt(made->info.shmaddr);
        DropImage(made->image);
        sharingFailed = true;
        return false;
    }
    made->info.shmseg = asked.shmseg;
    segment = std::move(made);
    block = reinterpret_cast<uint32_t*>(segment->info.shmaddr);
    return true;
}

bool X11Image::Prepare(X11Connection& connection, int32_t w, int32_t h)
{
    if (block && blockWidth == w && blockHeight == h) return true;
    Release(connection);
    if (sharing != Sharing::Off && !connection.Broken() && Attach(connection, w, h)) {
        // A new segment holds zeros, which the window does not show.
        blockWidth = w;
        blockHeight = h;
        return true;
    }
    try {
        converted.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    } catch (...) {
        return false;
    }
    block = converted.data();
    blockWidth = w;
    blockHeight = h;
    return true;
}

void X11Image::AwaitPut(X11Connection& connection)
{
    if (!putPending) return;
    XEvent event;
    while (putPending && XCheckTypedEvent(connection.XDisplay(), completionType, &event))
        TakeCompletion(connection, event);
    // Not noticed yet: once the server answers a later request, it is done with the put.
    if (putPending && !connection.Broken()) XSync(connection.XDisplay(), False);
    putPending = false;
}

bool X11Image::TakeCompletion(X11Connection&, const _XEvent& event)
{
    if (completionType < 0 || event.type != completionType) return false;
    const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
    if (segment && done.shmseg == segment->info.shmseg) putPending = false;
    return true;
}

bool X11Image::Put(X11Connection& connection, unsigned long window, _XGC* gc, const PixelRows& picture,
                   const Rect& area, int32_t w, int32_t h)
{
    auto* v = static_cast<Visual*>(visual);
    Display* display = connection.XDisplay();
    if (!display || !window || !v || w <= 0 || h <= 0 || connection.Broken()) return false;
    const int32_t left = std::max(area.left, 0), top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, w), bottom = std::min(area.bottom, h);
    if (right <= left || bottom <= top) return true;
    if (!Prepare(connection, w, h)) return false;
    if (segment) AwaitPut(connection);
    const bool direct = (depth == 24 || depth == 32) && v->red_mask == 0xFF0000 && v->green_mask == 0x00FF00 &&
                        v->blue_mask == 0x0000FF;
    const int rs = ShiftOfMask(v->red_mask), gs = ShiftOfMask(v->green_mask), bs = ShiftOfMask(v->blue_mask);
    // The window's pixels: the picture's, black beyond it. Told apart from what the block
    // held on the way, which is what the window shows.
    uint32_t changed = 0;
    for (int32_t y = top; y < bottom; ++y) {
        uint32_t* to = block + static_cast<size_t>(y) * static_cast<size_t>(w);
        const uint32_t* from = picture.base && y < picture.height ? picture.base + y * picture.span : nullptr;
        const int32_t inside = from ? std::min(right, picture.width) : left;
        for (int32_t x = left; x < right; ++x) {
            const uint32_t c = x < inside ? from[x] : 0u;
            uint32_t pixel;
            if (direct) {
                pixel = c | 0xFF000000u;
            } else {
                const unsigned long r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
                pixel = static_cast<uint32_t>(((r << rs) & v->red_mask) | ((g << gs) & v->green_mask) |
                                              ((b << bs) & v->blue_mask));
            }
            changed |= to[x] ^ pixel;
            to[x] = pixel;
        }
    }
    if (skipUnchanged && shown && changed == 0) {
        ++skipped;
        return true;
    }
    const unsigned pw = static_cast<unsigned>(right - left), ph = static_cast<unsigned>(bottom - top);
    if (segment) {
        XShmPutImage(display, window, gc, segment->image, left, top, left, top, pw, ph, True);
        putPending = true;
    } else {
        XImage* image = XCreateImage(display, v, static_cast<unsigned>(depth), ZPixmap, 0,
                                     reinterpret_cast<char*>(block), static_cast<unsigned>(w),
                                     static_cast<unsigned>(h), 32, w * 4);
        if (!image) {
            shown = false;
            return false;
        }
        image->byte_order = LSBFirst;  // the words are in this machine's order; Xlib swaps if it must
        XPutImage(display, window, gc, image, left, top, left, top, pw, ph);
        DropImage(image);
    }
    XFlush(display);
    shown = true;
    ++presented;
    return true;
}
