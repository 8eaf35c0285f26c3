// Enlarging the editor's picture for the screen: every source pixel becomes a block of
// scale x scale identical pixels (nearest neighbour, no smoothing), so the picture stays
// exactly what was drawn, only larger.
#pragma once

#include <cstdint>

#include "graphics/Rect.h"
#include "graphics/Surface.h"

// Pixels addressed as rows: row y starts at base + y * span (span may be negative).
struct PixelRows {
    uint32_t* base = nullptr;
    intptr_t span = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The rows of a surface in logical order, flipped or not.
PixelRows RowsOf(const Surface& surface);

// The window shows at most 4x; pictures written by the tools go further.
constexpr int32_t kMaxBlitScale = 16;

// Writes source pixel (x, y) of `area` as the block at (x * scale, y * scale) of dest, for
// scale 1 to kMaxBlitScale; blocks are cut at dest's edges. The area is clipped to the source.
void ScaleBlit(const PixelRows& dest, const PixelRows& src, const Rect& area, int32_t scale);

// The source area whose blocks cover the dest area `dest` at `scale` (rounded outward).
Rect SourceAreaOf(const Rect& dest, int32_t scale);
// The dest area covered by the blocks of the source area `src`.
Rect ScaledArea(const Rect& src, int32_t scale);
