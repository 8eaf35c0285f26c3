// Rotated and scaled blits with a 16.16 fixed-point walk.
#pragma once

#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/Surface.h"

// Maps the source rectangle (srcX, srcY, srcW, srcH) onto the destination rectangle
// (dstX, dstY, dstW, dstH), turned by `angle` radians about the source rectangle's centre
// moved by (rotXOffset, rotYOffset). Negative dstW or dstH mirror. Each destination pixel
// samples the source at its centre, nearest or (with Filtered) bilinear; samples outside the
// source (or, with clipToSourceRect, outside the source rectangle) leave the pixel unchanged.
void RotatedBlit(Surface* dest, const Surface* src, int32_t dstX, int32_t dstY, int32_t dstW,
                 int32_t dstH, float srcX, float srcY, float srcW, float srcH, float angle,
                 bool clipToSourceRect, float alpha, RasterMode mode, float rotXOffset,
                 float rotYOffset);
