#include "graphics/SystemSurface.h"

#include <cstdlib>

#include "graphics/MemorySurface.h"

SystemSurface::SystemSurface(int32_t width, int32_t height)
{
    resize(width, height);
}

SystemSurface::~SystemSurface()
{
    std::free(pixels);
}

bool SystemSurface::resize(int32_t width, int32_t height)
{
    if (width == w && height == h) return false;
    const size_t bytes = SurfaceByteSize(width, height);
    if (bytes == 0) return false;
    // Like a fresh DIB section: zeroed, old contents not kept.
    void* block = std::calloc(1, bytes);
    if (!block) return false;
    std::free(pixels);
    pixels = static_cast<uint32_t*>(block);
    w = span = width;
    h = height;
    return true;
}
