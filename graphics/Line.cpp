#include "graphics/Line.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "graphics/PixelOps.h"

namespace {

enum : int { OutLeft = 1, OutRight = 2, OutTop = 4, OutBottom = 8 };

int OutCode(float x, float y, int32_t width, int32_t height)
{
    int code = 0;
    if (x < 0.0f) code |= OutLeft;
    if (double(x) + 0.5 >= width) code |= OutRight;
    if (y < 0.0f) code |= OutTop;
    if (double(y) + 0.5 >= height) code |= OutBottom;
    return code;
}

// Bresenham-style stepping along the major axis with a float error term; plot(x, y) gets
// every visited pixel. The minor coordinate can overshoot the far end by one pixel, so pixels
// off the surface are skipped rather than trusted.
template <typename Plot>
void StepLine(float x1, float y1, float x2, float y2, int32_t width, int32_t height, Plot plot)
{
    const bool steep = std::fabs(y2 - y1) > std::fabs(x2 - x1);
    float major1 = steep ? y1 : x1, minor1 = steep ? x1 : y1;
    float major2 = steep ? y2 : x2, minor2 = steep ? x2 : y2;
    if (major2 < major1) {
        std::swap(major1, major2);
        std::swap(minor1, minor2);
    }
    const int32_t minorLimit = steep ? width : height;
    const int32_t last = static_cast<int32_t>(double(major2) + 0.5);
    int32_t minor = static_cast<int32_t>(double(minor1) + 0.5);
    const int32_t direction = minor2 > minor1 ? 1 : -1;
    if (minor2 == minor1) {
        // Nothing to step across (the fill of a graph is all vertical lines): the error
        // would never reach a half, so the walk stays in one row or column.
        if (minor >= 0 && minor < minorLimit)
            for (int32_t major = static_cast<int32_t>(double(major1) + 0.5); major <= last; ++major) {
                if (steep) plot(minor, major);
                else plot(major, minor);
            }
        return;
    }
    const float slope = std::fabs(minor2 - minor1) / (major2 - major1);
    float error = 0.0f;
    for (int32_t major = static_cast<int32_t>(double(major1) + 0.5); major <= last; ++major) {
        if (minor >= 0 && minor < minorLimit) {
            if (steep) plot(minor, major);
            else plot(major, minor);
        }
        error += slope;
        if (error >= 0.5f) {
            minor += direction;
            error -= 1.0f;
        }
    }
}

bool SamePixel(float x1, float y1, float x2, float y2)
{
    return static_cast<int32_t>(x1) == static_cast<int32_t>(x2) &&
           static_cast<int32_t>(y1) == static_cast<int32_t>(y2);
}

float Frac(float v) { return v - std::floor(v); }

// Wu's anti-aliased line. Rows are width pixels long. Every pixel is bounds-checked: the end
// columns can reach one row past either edge.
template <typename C>
void WuLine(uint32_t* bits, int32_t width, int32_t height, uint32_t colour, float x1, float y1,
            float x2, float y2, float weight)
{
    auto put = [&](int32_t x, int32_t y, int32_t w) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            C::Apply(bits + static_cast<intptr_t>(y) * width + x, colour, w);
    };

    if (SamePixel(x1, y1, x2, y2)) {
        const int32_t x = static_cast<int32_t>(x1), y = static_cast<int32_t>(y1);
        const int32_t w = static_cast<int32_t>((Frac(x1) + Frac(y1)) / 4.0f * 256.0f);
        put(x, y, w);
        put(x + 1, y, w);
        put(x, y + 1, w);
        put(x + 1, y + 1, w);
        return;
    }

    const bool steep = std::fabs(y2 - y1) > std::fabs(x2 - x1);
    if (steep) {
        std::swap(x1, y1);
        std::swap(x2, y2);
    }
    if (x1 > x2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    auto plot = [&](int32_t major, int32_t minor, float coverage) {
        const int32_t w = SaturateFixed(coverage * (weight * 256.0f));
        if (steep) put(minor, major, w);
        else put(major, minor, w);
    };
    // The ends come clipped onto the surface, so x + 0.5 is positive and its floor is its
    // truncation.
    const float half1 = x1 + 0.5f, half2 = x2 + 0.5f;
    const float xEnd1 = static_cast<float>(static_cast<int32_t>(half1));
    const float xEnd2 = static_cast<float>(static_cast<int32_t>(half2));
    const float gap1 = 1.0f - (half1 - xEnd1), gap2 = half2 - xEnd2;
    const int32_t column1 = static_cast<int32_t>(xEnd1), column2 = static_cast<int32_t>(xEnd2);
    const float scaled = weight * 256.0f;

    // A level line (most of a quiet spectrum lies along the bottom row): no slope to follow,
    // so every step has the row and the coverage of the ends. With a weight within full
    // strength every coverage weight is a plain truncation.
    if (y1 == y2 && scaled >= 0.0f && scaled <= 256.0f) {
        // Clipped onto the surface: y is at least 0.
        const int32_t row = static_cast<int32_t>(y1);
        const float frac = y1 - static_cast<float>(row);
        uint32_t* const line = bits + static_cast<intptr_t>(row) * width;
        const bool below = row + 1 < height;
        auto step = [&](int32_t column, float near, float far) {
            if (column >= width) return;
            C::Apply(line + column, colour, static_cast<int32_t>(near * scaled));
            if (below) C::Apply(line + width + column, colour, static_cast<int32_t>(far * scaled));
        };
        step(column1, (1.0f - frac) * gap1, frac * gap1);
        step(column2, (1.0f - frac) * gap2, frac * gap2);
        for (int32_t x = column1 + 1; x < column2; ++x) step(x, 1.0f - frac, frac);
        return;
    }

    // An end's row can lie up to half a row above the surface, and is then one lower than its
    // truncation. The generic floor would cost a long chain of instructions.
    auto floorRow = [](float v) {
        int32_t row = static_cast<int32_t>(v);
        if (static_cast<float>(row) > v) --row;
        return row;
    };
    const float gradient = (y2 - y1) / (x2 - x1);
    const float yEnd1 = y1 + gradient * (xEnd1 - x1);
    const int32_t row1 = floorRow(yEnd1);
    const float frac1 = yEnd1 - static_cast<float>(row1);
    const float yEnd2 = y2 + gradient * (xEnd2 - x2);
    const int32_t row2 = floorRow(yEnd2);
    const float frac2 = yEnd2 - static_cast<float>(row2);
    const int32_t minorLimit = steep ? width : height, majorLimit = steep ? height : width;
    const intptr_t majorStep = steep ? width : 1, minorStep = steep ? 1 : width;
    float y = yEnd1 + gradient;

    // The common case needs no check at all: both ends and the rows between them stay a row
    // clear of either edge (the running sum drifts far less than a row over a line this
    // short), y is never negative, so truncation is the floor, and a weight within full
    // strength makes every coverage weight a plain truncation.
    if (scaled >= 0.0f && scaled <= 256.0f && column2 < majorLimit && column2 - column1 <= 2048 &&
        minorLimit <= 4096 && std::fmin(yEnd1, yEnd2) >= 1.0f &&
        std::fmax(yEnd1, yEnd2) < static_cast<float>(minorLimit - 2)) {
        uint32_t* const end1 = bits + column1 * majorStep + row1 * minorStep;
        C::ApplyPair(end1, end1 + minorStep, colour, static_cast<int32_t>((1.0f - frac1) * gap1 * scaled),
                     static_cast<int32_t>(frac1 * gap1 * scaled));
        uint32_t* const end2 = bits + column2 * majorStep + row2 * minorStep;
        C::ApplyPair(end2, end2 + minorStep, colour, static_cast<int32_t>((1.0f - frac2) * gap2 * scaled),
                     static_cast<int32_t>(frac2 * gap2 * scaled));
        uint32_t* p = bits + (column1 + 1) * majorStep;
        for (int32_t x = column1 + 1; x < column2; ++x, p += majorStep) {
            const int32_t row = static_cast<int32_t>(y);
            const float frac = y - static_cast<float>(row);
            uint32_t* const q = p + row * minorStep;
            C::ApplyPair(q, q + minorStep, colour, static_cast<int32_t>((1.0f - frac) * scaled),
                         static_cast<int32_t>(frac * scaled));
            y += gradient;
        }
        return;
    }

    // The ends: most lines near an edge (a spectrum lying on the bottom row) have their
    // ends on the surface, or only the pixel beyond the edge off it.
    const bool plain = scaled >= 0.0f && scaled <= 256.0f;
    auto end = [&](int32_t column, int32_t row, float near, float far) {
        if (plain && column >= 0 && column < majorLimit && row >= 0 && row < minorLimit) {
            uint32_t* const p = bits + column * majorStep + row * minorStep;
            if (row + 1 < minorLimit) {
                C::ApplyPair(p, p + minorStep, colour, static_cast<int32_t>(near * scaled),
                             static_cast<int32_t>(far * scaled));
                return;
            }
            C::Apply(p, colour, static_cast<int32_t>(near * scaled));
            return;
        }
        plot(column, row, near);
        plot(column, row + 1, far);
    };
    end(column1, row1, (1.0f - frac1) * gap1, frac1 * gap1);
    end(column2, row2, (1.0f - frac2) * gap2, frac2 * gap2);

    // Between the ends: both pixels of a step are usually on the surface, and then they are
    // combined without the per-pixel checks of plot and put.
    for (int32_t x = column1 + 1; x < column2; ++x) {
        // floor(y), y being a row on or next to the surface: truncation, one lower below 0.
        int32_t row = static_cast<int32_t>(y);
        if (static_cast<float>(row) > y) --row;
        const float frac = y - static_cast<float>(row);
        if (row >= 0 && row < minorLimit - 1 && x >= 0 && x < majorLimit) {
            uint32_t* const p = bits + x * majorStep + row * minorStep;
            C::Apply(p, colour, SaturateFixed((1.0f - frac) * scaled));
            C::Apply(p + minorStep, colour, SaturateFixed(frac * scaled));
        } else {
            plot(x, row, 1.0f - frac);
            plot(x, row + 1, frac);
        }
        y += gradient;
    }
}

}  // namespace

bool ClipLine(float& x1, float& y1, float& x2, float& y2, int32_t width, int32_t height)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return false;
    const float w = float(width), h = float(height);
    int code1 = OutCode(x1, y1, width, height);
    int code2 = OutCode(x2, y2, width, height);
    // Each move puts one coordinate inside; rounding can push the other out again, so the
    // number of moves is bounded rather than trusted to converge.
    for (int moves = 0; code1 | code2; ++moves) {
        if ((code1 & code2) || moves >= 16) return false;
        const bool first = code1 != 0;
        const int code = first ? code1 : code2;
        float x, y;
        if (code & OutBottom) {
            x = x1 + (x2 - x1) * (h - y1) / (y2 - y1);
            y = h - 1.0f;
        } else if (code & OutTop) {
            x = x1 + (x2 - x1) * (0.0f - y1) / (y2 - y1);
            y = 0.0f;
        } else if (code & OutRight) {
            y = y1 + (y2 - y1) * (w - x1) / (x2 - x1);
            x = w - 1.0f;
        } else {
            y = y1 + (y2 - y1) * (0.0f - x1) / (x2 - x1);
            x = 0.0f;
        }
        // Huge coordinates can overflow the interpolation; NaN would pass every outcode test.
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
        if (first) {
            x1 = x;
            y1 = y;
            code1 = OutCode(x1, y1, width, height);
        } else {
            x2 = x;
            y2 = y;
            code2 = OutCode(x2, y2, width, height);
        }
    }
    return true;
}

void DrawLine(Surface& surface, uint32_t colour, float x1, float y1, float x2, float y2,
              RasterMode mode, float weight, bool antiAlias)
{
    if (!HasPixels(surface) || !IsPixelOperation(mode) || !WeightDraws(mode, weight)) return;
    if (!ClipLine(x1, y1, x2, y2, surface.width(), surface.height())) return;

    uint32_t* bits = surface.bits();
    const int32_t width = surface.width(), height = surface.height();

    if (antiAlias) {
        WithCombiner(mode, [&](auto combiner) {
            WuLine<decltype(combiner)>(bits, width, height, colour, x1, y1, x2, y2, weight);
        });
        return;
    }

    const intptr_t span = surface.rowSpan();
    if ((colour >> 24) == 255 && weight == 1.0f) {
        // Opaque at full strength: whatever the operation, the pixels are simply overwritten.
        auto store = [&](int32_t x, int32_t y) { bits[y * span + x] = colour; };
        if (SamePixel(x1, y1, x2, y2))
            store(static_cast<int32_t>(double(x1) + 0.5), static_cast<int32_t>(double(y1) + 0.5));
        else
            StepLine(x1, y1, x2, y2, width, height, store);
        return;
    }

    WithCombiner(mode, [&](auto combiner) {
        using C = decltype(combiner);
        if (SamePixel(x1, y1, x2, y2)) {
            const int32_t x = static_cast<int32_t>(double(x1) + 0.5);
            const int32_t y = static_cast<int32_t>(double(y1) + 0.5);
            C::Apply(bits + y * span + x, colour, 256);
            return;
        }
        const int32_t w = WeightToFixed(weight);
        StepLine(x1, y1, x2, y2, width, height,
                 [&](int32_t x, int32_t y) { C::Apply(bits + y * span + x, colour, w); });
    });
}

void DrawPolylines(Surface& surface, uint32_t colour, const float* x, const float* first, const float* second,
                   int32_t count, RasterMode mode, float weight, bool antiAlias)
{
    if (!x || !first || count < 2) return;
    if (!antiAlias) {
        for (int32_t i = 0; i + 1 < count; ++i) {
            DrawLine(surface, colour, x[i], first[i], x[i + 1], first[i + 1], mode, weight, false);
            if (second) DrawLine(surface, colour, x[i], second[i], x[i + 1], second[i + 1], mode, weight, false);
        }
        return;
    }
    if (!HasPixels(surface) || !IsPixelOperation(mode) || !WeightDraws(mode, weight)) return;
    uint32_t* bits = surface.bits();
    const int32_t width = surface.width(), height = surface.height();
    // The checks and the choice of operation are made once for the whole curve.
    WithCombiner(mode, [&](auto combiner) {
        auto segment = [&](float x1, float y1, float x2, float y2) {
            if (ClipLine(x1, y1, x2, y2, width, height))
                WuLine<decltype(combiner)>(bits, width, height, colour, x1, y1, x2, y2, weight);
        };
        for (int32_t i = 0; i + 1 < count; ++i) {
            segment(x[i], first[i], x[i + 1], first[i + 1]);
            if (second) segment(x[i], second[i], x[i + 1], second[i + 1]);
        }
    });
}

void DrawVerticalLines(Surface& surface, uint32_t colour, const float* x, const float* from, const float* to,
                       int32_t count, RasterMode mode, float weight)
{
    if (!x || !from || !to || !HasPixels(surface) || !IsPixelOperation(mode) || !WeightDraws(mode, weight)) return;
    uint32_t* const bits = surface.bits();
    const int32_t width = surface.width(), height = surface.height();
    const intptr_t span = surface.rowSpan();
    // What clipping makes of a vertical line: an end above the surface moves to row 0, one
    // below it to the last row, and a line wholly on one side is not drawn.
    enum { Inside, Above, Below };
    auto clip = [&](float y, int& side) {
        side = y < 0.0f ? Above : double(y) + 0.5 >= height ? Below : Inside;
        return side == Above ? 0.0f : side == Below ? static_cast<float>(height) - 1.0f : y;
    };
    // set(pixel, single): single is a line that stays inside one pixel, which DrawLine
    // draws as one point rounded from its first end.
    auto draw = [&](auto set) {
        for (int32_t i = 0; i < count; ++i) {
            const float column = x[i];
            if (!std::isfinite(column) || !std::isfinite(from[i]) || !std::isfinite(to[i])) continue;
            if (column < 0.0f || double(column) + 0.5 >= width) continue;
            int sideA, sideB;
            const float a = clip(from[i], sideA), b = clip(to[i], sideB);
            if (sideA != Inside && sideA == sideB) continue;
            uint32_t* const top = bits + static_cast<int32_t>(double(column) + 0.5);
            if (static_cast<int32_t>(a) == static_cast<int32_t>(b)) {
                set(top + static_cast<int32_t>(double(a) + 0.5) * span, true);
                continue;
            }
            const float low = a < b ? a : b, high = a < b ? b : a;
            const int32_t last = static_cast<int32_t>(double(high) + 0.5);
            for (int32_t row = static_cast<int32_t>(double(low) + 0.5); row <= last; ++row) set(top + row * span, false);
        }
    };
    if ((colour >> 24) == 255 && weight == 1.0f) {
        draw([&](uint32_t* p, bool) { *p = colour; });
        return;
    }
    const int32_t w = WeightToFixed(weight);
    WithCombiner(mode, [&](auto combiner) {
        using C = decltype(combiner);
        draw([&](uint32_t* p, bool single) { C::Apply(p, colour, single ? 256 : w); });
    });
}
