// A 32-bit 0xAARRGGBB pixel bitmap, rows top first. Drawing operations are free functions
// that take a Surface; the surface itself only owns and describes its pixels.
#pragma once

#include <cstdint>

class Surface {
public:
    virtual ~Surface() = default;
    // Pixel 0 of row 0, or null when the surface has no pixels.
    uint32_t* bits() const { return pixels; }
    int32_t width() const { return w; }
    int32_t height() const { return h; }
    int32_t rowSpan() const { return span; }
    // Rows stored bottom row first; no surface of ours sets it, but fills, blended writes,
    // pixel reads and blits honour it.
    bool isFlipped() const { return flipped; }
    // True when the size changed.
    virtual bool resize(int32_t width, int32_t height) = 0;

    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

protected:
    // Plain fields rather than virtual queries: primitives read them for every pixel they
    // address. Each kind keeps them true to the pixels it owns.
    uint32_t* pixels = nullptr;
    int32_t w = 0;
    int32_t h = 0;
    int32_t span = 0;
    bool flipped = false;
};

// True when the surface can be drawn on at all.
inline bool HasPixels(const Surface& s)
{
    return s.bits() != nullptr && s.width() > 0 && s.height() > 0 && s.rowSpan() > 0;
}

// Start of logical row y, honouring the flipped flag. The caller keeps y inside the surface.
inline uint32_t* SurfaceRow(const Surface& s, int32_t y)
{
    const int32_t stored = s.isFlipped() ? s.height() - 1 - y : y;
    return s.bits() + static_cast<intptr_t>(stored) * s.rowSpan();
}
