// Straight lines: plain (an opaque fast path and a blended path) and anti-aliased.
#pragma once

#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/Surface.h"

// Draws from (x1, y1) to (x2, y2) in pixel coordinates (centres at integer + 0.5), clipped to
// the surface. NaN or infinite coordinates draw nothing.
void DrawLine(Surface& surface, uint32_t colour, float x1, float y1, float x2, float y2,
              RasterMode mode, float weight, bool antiAlias);

// The segments of one curve, or of two curves over the same x (second may be null), in the
// order DrawLine calls would draw them: segment i of the first curve, then segment i of the
// second. Segments with a NaN or infinite end are left out.
void DrawPolylines(Surface& surface, uint32_t colour, const float* x, const float* first, const float* second,
                   int32_t count, RasterMode mode, float weight, bool antiAlias);

// Vertical plain (not anti-aliased) lines, line i from (x[i], from[i]) to (x[i], to[i]), as
// DrawLine calls in turn would draw them: the fills under graphs, a column at a time.
void DrawVerticalLines(Surface& surface, uint32_t colour, const float* x, const float* from, const float* to,
                       int32_t count, RasterMode mode, float weight);

// Cohen-Sutherland clipping of a segment to a width x height surface, in float arithmetic.
// False when no part is visible. On success both ends satisfy 0 <= x, x + 0.5 < width,
// 0 <= y, y + 0.5 < height.
bool ClipLine(float& x1, float& y1, float& x2, float& y2, int32_t width, int32_t height);
