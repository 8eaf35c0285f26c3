// Rectangle fills: the blended FillRect and the bitwise MaskFill.
#pragma once

#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/Rect.h"
#include "graphics/Surface.h"

// The part of a rectangle that lies on the surface.
struct ClippedArea {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Clips left..right-1 by top..bottom-1 to the surface; false when nothing remains or the
// surface has no pixels. Inverted and enormous rectangles are handled.
bool ClipToSurface(const Surface& surface, int64_t left, int64_t top, int64_t right,
                   int64_t bottom, ClippedArea& area);

// Fills left..right-1 by top..bottom-1. With UseSourceAlpha the colour's alpha scales the
// weight; the weight itself (not the colour's alpha) is what combines into the alpha channel.
void FillRect(Surface& surface, uint32_t colour, const Rect& rect, RasterMode mode, float weight);

// pixel = orValue | (pixel & andMask) over the clipped rectangle.
void MaskFill(Surface* surface, int32_t x, int32_t y, int32_t width, int32_t height,
              uint32_t andMask, uint32_t orValue);
