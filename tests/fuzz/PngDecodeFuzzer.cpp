// Arbitrary bytes as an image resource: decoded into a new surface and into one reused.
#include <cstddef>
#include <cstdint>

#include "graphics/MemorySurface.h"
#include "graphics/PngLoader.h"
#include "tests/fuzz/FuzzHost.h"

namespace {

uint32_t Touch(const Surface& surface)
{
    if (surface.width() < 1 || surface.height() < 1 || uint32_t(surface.width()) > MaxPngSide ||
        uint32_t(surface.height()) > MaxPngSide ||
        uint64_t(surface.width()) * uint64_t(surface.height()) > MaxPngPixels)
        FuzzHost::Fail("a decoded image outside the limits");
    uint32_t sum = 0;
    for (int32_t y = 0; y < surface.height(); ++y)
        for (int32_t x = 0; x < surface.width(); ++x) sum += SurfaceRow(surface, y)[x];
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static MemorySurface reused(3, 2);
    volatile uint32_t sink = 0;
    if (Surface* image = DecodePng(data, size, nullptr)) {
        sink = sink + Touch(*image);
        delete image;
    }
    if (Surface* image = DecodePng(data, size, &reused)) {
        if (image != &reused) FuzzHost::Fail("decoding into a surface answered another");
        sink = sink + Touch(*image);
    }
    return 0;
}
