// Circular arcs and circles, drawn as quarter arcs with Wu-style anti-aliasing.
#pragma once

#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/Surface.h"

// Angles in radians, 0 pointing up from the centre and growing clockwise on screen.
// Non-finite values, and radii beyond MaxArcRadius, draw nothing.
void DrawArc(Surface& surface, uint32_t colour, float cx, float cy, float radius,
             float startAngle, float endAngle, RasterMode mode, float weight, bool antiAlias);

void DrawCircle(Surface& surface, uint32_t colour, float cx, float cy, float radius,
                RasterMode mode, float weight, bool antiAlias);

// A larger circle only grazes any surface this program draws on, and walking it would cost
// far more than the pixels it could touch.
constexpr float MaxArcRadius = 65536.0f;
