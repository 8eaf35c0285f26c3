// A colour as four integer channels, and its packing into a 0xAARRGGBB surface pixel.
#pragma once

#include <cstdint>

struct Colour {
    int32_t a = 0;
    int32_t r = 0;
    int32_t g = 0;
    int32_t b = 0;

    Colour() = default;
    Colour(int32_t a, int32_t r, int32_t g, int32_t b) : a(a), r(r), g(g), b(b) {}
    bool operator==(const Colour& o) const { return a == o.a && r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Colour& o) const { return !(*this == o); }
};

// Only the low byte of each channel survives (alpha's upper bits fall off the top).
inline uint32_t PackColour(const Colour& c)
{
    return static_cast<uint32_t>(c.a) << 24 | (static_cast<uint32_t>(c.r) & 255) << 16 |
           (static_cast<uint32_t>(c.g) & 255) << 8 | (static_cast<uint32_t>(c.b) & 255);
}

inline Colour UnpackColour(uint32_t pixel)
{
    return Colour(static_cast<int32_t>(pixel >> 24), static_cast<int32_t>(pixel >> 16 & 255),
                  static_cast<int32_t>(pixel >> 8 & 255), static_cast<int32_t>(pixel & 255));
}
