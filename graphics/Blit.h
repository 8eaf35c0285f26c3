// Copying one surface onto another: plain and blended blits, channel copies, whole copies.
#pragma once

#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/Rect.h"
#include "graphics/Surface.h"

// Copies srcRect of src (the whole source when null) to (dstX, dstY) of dest, clipped to
// both surfaces. Copy without UseSourceAlpha at alpha 1.0 copies bytes; the other copy, add
// and dodge modes combine each pixel at weight alpha * 256; modes 0xF0-0xFF copy one byte
// of each pixel into another (see ChannelCopyMode). Absent surfaces draw nothing.
void Blit(Surface* dest, const Surface* src, int32_t dstX, int32_t dstY, const Rect* srcRect,
          float alpha, RasterMode mode);

// Blit with the source rectangle (srcX, srcY, srcX + width, srcY + height).
void BlitFrom(Surface* dest, const Surface* src, int32_t dstX, int32_t dstY, int32_t srcX,
              int32_t srcY, int32_t width, int32_t height, float alpha, RasterMode mode);

// Resizes dest to the size of src and copies src into it.
void CopySurface(Surface* dest, const Surface* src);
