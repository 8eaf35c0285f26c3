#include "graphics/MemorySurface.h"

#include <cstdlib>

size_t SurfaceByteSize(int32_t width, int32_t height)
{
    // Two negative sides would multiply to a positive size; a 32-bit process cannot hold
    // more than a few hundred megabytes of pixels anyway.
    constexpr int64_t maxBytes = int64_t(1) << 28;
    constexpr int32_t maxSide = 32768;
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) return 0;
    const int64_t bytes = int64_t(width) * height * 4;
    return bytes <= maxBytes ? static_cast<size_t>(bytes) : 0;
}

MemorySurface::MemorySurface(int32_t width, int32_t height)
{
    w = span = width;
    h = height;
    const size_t bytes = SurfaceByteSize(width, height);
    if (bytes > 0) pixels = static_cast<uint32_t*>(std::malloc(bytes));
}

MemorySurface::~MemorySurface()
{
    std::free(pixels);
}

bool MemorySurface::resize(int32_t width, int32_t height)
{
    if (width == w && height == h) return false;
    w = span = width;
    h = height;
    const size_t bytes = SurfaceByteSize(width, height);
    if (bytes == 0) {
        std::free(pixels);
        pixels = nullptr;
        return true;
    }
    void* grown = std::realloc(pixels, bytes);
    if (!grown) {
        std::free(pixels);
        grown = std::malloc(bytes);
    }
    pixels = static_cast<uint32_t*>(grown);
    return true;
}
