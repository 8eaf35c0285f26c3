// A surface on a plain heap block, used for images and scratch work.
#pragma once

#include <cstddef>

#include "graphics/Surface.h"

class MemorySurface : public Surface {
public:
    MemorySurface(int32_t width, int32_t height);
    ~MemorySurface() override;

    // Old contents survive byte for byte (not re-laid-out); a failed allocation leaves the
    // surface without pixels, so later drawing into it does nothing.
    bool resize(int32_t width, int32_t height) override;
};

// Byte size of a width x height pixel block, or 0 when it is empty or negative, a side
// exceeds 32768 pixels or the block exceeds 256 MiB (shared by both surface kinds).
size_t SurfaceByteSize(int32_t width, int32_t height);
