#include "graphics/x11/X11Image.h"

#include <algorithm>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

}  // namespace

void X11Image::SetVisual(void* newVisual, int32_t newDepth)
{
    visual = newVisual;
    depth = newDepth;
}

bool X11Image::Put(_XDisplay* display, unsigned long window, _XGC* gc, const PixelRows& picture, const Rect& area,
                   int32_t w, int32_t h)
{
    auto* v = static_cast<Visual*>(visual);
    if (!display || !window || !v || w <= 0 || h <= 0) return false;
    const int32_t left = std::max(area.left, 0), top = std::max(area.top, 0);
    const int32_t right = std::min(area.right, w), bottom = std::min(area.bottom, h);
    if (right <= left || bottom <= top) return true;
    const bool direct = (depth == 24 || depth == 32) && v->red_mask == 0xFF0000 && v->green_mask == 0x00FF00 &&
                        v->blue_mask == 0x0000FF;
    // The image wants the window's pixels in one block: the picture's, black beyond it.
    try {
        converted.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    } catch (...) {
        return false;
    }
    const int rs = ShiftOfMask(v->red_mask), gs = ShiftOfMask(v->green_mask), bs = ShiftOfMask(v->blue_mask);
    for (int32_t y = top; y < bottom; ++y) {
        uint32_t* to = converted.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        const uint32_t* from = picture.base && y < picture.height ? picture.base + y * picture.span : nullptr;
        const int32_t inside = from ? std::min(right, picture.width) : left;
        for (int32_t x = left; x < right; ++x) {
            const uint32_t c = x < inside ? from[x] : 0u;
            if (direct) {
                to[x] = c | 0xFF000000u;
            } else {
                const unsigned long r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
                to[x] = static_cast<uint32_t>(((r << rs) & v->red_mask) | ((g << gs) & v->green_mask) |
                                              ((b << bs) & v->blue_mask));
            }
        }
    }
    XImage* image = XCreateImage(display, v, static_cast<unsigned>(depth), ZPixmap, 0,
                                 reinterpret_cast<char*>(converted.data()), static_cast<unsigned>(w),
                                 static_cast<unsigned>(h), 32, w * 4);
    if (!image) return false;
    image->byte_order = LSBFirst;  // the words are in this machine's order; Xlib swaps if it must
    XPutImage(display, window, gc, image, left, top, left, top, static_cast<unsigned>(right - left),
              static_cast<unsigned>(bottom - top));
    image->data = nullptr;  // ours, not Xlib's to free
    XDestroyImage(image);
    XFlush(display);
    return true;
}
