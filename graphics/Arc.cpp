#include "graphics/Arc.h"

#include <algorithm>
#include <cmath>

#include "graphics/PixelOps.h"

namespace {

constexpr float FullTurn = 6.2831855f;
constexpr float QuarterTurn = 1.5707964f;
constexpr float QuartersPerRadian = 0.63661975f;
constexpr float Sqrt2 = 1.4142135f;

// Local (along, across) to screen: x = m1 * across + m0 * along + cx, y = m3 * across + m2 * along + cy.
// Quadrant 0 runs from straight up toward the right.
constexpr float QuadrantMatrix[4][4] = {
    {1, 0, 0, -1}, {0, 1, 1, 0}, {-1, 0, 0, 1}, {0, -1, -1, 0}};

float WrapAngle(float a)
{
    if (a >= 0.0f && a <= FullTurn) return a;
    if (std::fabs(a) < 64.0f * FullTurn) {
        while (a < 0.0f) a += FullTurn;
        while (a > FullTurn) a -= FullTurn;
        return a;
    }
    a = std::fmod(a, FullTurn);
    return a < 0.0f ? a + FullTurn : a;
}

// One step of a half's walk, at `running`: the distance from the circle to the next pixel
// boundary, the outer coordinate stepping inward whenever that distance shrinks.
float WalkStep(float r, float running, float& outer, float& previous)
{
    const float y = std::sqrt(r * r - running * running);
    const float d = std::ceil(y) - y;
    if (d < previous) outer -= 1.0f;
    previous = d;
    return d;
}

// The walk of a half from the axis outwards, running = 0, 1, 2, ...: the outer coordinate
// (starting at the radius) and the distance of each step, as far as they have been needed.
struct Walk {
    static constexpr int32_t kMaxSteps = 1024;
    int32_t count = 0;
    float outer[kMaxSteps];
    float d[kMaxSteps];

    void Extend(float r, int32_t steps)
    {
        float o = count > 0 ? outer[count - 1] : r;
        float previous = count > 0 ? d[count - 1] : 0.0f;
        for (; count < steps; ++count) {
            d[count] = WalkStep(r, float(count), o, previous);
            outer[count] = o;
        }
    }
};

struct QuarterArc {
    uint32_t* bits;
    intptr_t span;
    int32_t width, height;
    uint32_t colour;
    float cx, cy, r;
    const float* m;
    bool antiAlias;
    float weight256;       // weight * 256
    int32_t plainWeight;   // weight * 256 truncated
    bool checked;          // per-pixel surface tests needed
    bool plainPair;        // every anti-aliased weight within full strength
    Walk* walk;            // shared by the quarters of one arc

    // One step of a half: outer pixel at local (along, across) and the inner one a pixel
    // closer to the centre on the across axis.
    template <typename C>
    void Put(float along, float across, float d, bool inwardAcross) const
    {
        const float outerX = m[1] * across + m[0] * along + cx;
        const float outerY = m[3] * across + m[2] * along + cy;
        if (!antiAlias) {
            Pixel<C>(outerX, outerY, plainWeight);
            return;
        }
        const int32_t outerWeight = SaturateFixed((1.0f - d) * weight256), innerWeight = SaturateFixed(d * weight256);
        const float innerAlong = inwardAcross ? along : along - 1.0f;
        const float innerAcross = inwardAcross ? across - 1.0f : across;
        const float innerX = m[1] * innerAcross + m[0] * innerAlong + cx;
        const float innerY = m[3] * innerAcross + m[2] * innerAlong + cy;
        if (!checked && plainPair) {
            uint32_t* const outer = bits + static_cast<intptr_t>(outerY) * span + static_cast<intptr_t>(outerX);
            uint32_t* const inner = bits + static_cast<intptr_t>(innerY) * span + static_cast<intptr_t>(innerX);
            if (outer != inner) {
                C::ApplyPair(outer, inner, colour, outerWeight, innerWeight);
                return;
            }
        }
        Pixel<C>(outerX, outerY, outerWeight);
        Pixel<C>(innerX, innerY, innerWeight);
    }

    template <typename C>
    void Pixel(float x, float y, int32_t w) const
    {
        // Tested before truncating, so that a position just left of or above the surface is
        // not pulled onto column or row 0.
        if (checked && !(x >= 0.0f && x < float(width) && y >= 0.0f && y < float(height))) return;
        C::Apply(bits + static_cast<intptr_t>(y) * span + static_cast<intptr_t>(x), colour, w);
    }

    // Walks one half: `running` from start up to `last`, the outer coordinate starting at
    // `outer` and stepping inward whenever the distance to the next pixel boundary shrinks.
    // When the running axis leaves the surface the walk stops; before it enters, steps are
    // taken without drawing so the pixels match an unclipped walk exactly.
    template <typename C>
    void Half(float running, float last, float outer, bool runningIsAlong) const
    {
        // Screen axis of the running coordinate: s = k * running + c on an axis of size dim.
        const float k = runningIsAlong ? (m[0] != 0 ? m[0] : m[2]) : (m[1] != 0 ? m[1] : m[3]);
        const bool onX = runningIsAlong ? m[0] != 0 : m[1] != 0;
        const float c = onX ? cx : cy;
        const float dim = float(onX ? width : height);
        // Draws one step; false once the running axis has left the surface.
        auto step = [&](float along, float across, float d) {
            if (checked) {
                const float s = k * along + c;
                if (k > 0 ? s >= dim : s < 0.0f) return false;
                if (k > 0 ? s < 0.0f : s >= dim) return true;
            }
            if (runningIsAlong) Put<C>(along, across, d, true);
            else Put<C>(across, along, d, false);
            return true;
        };
        // Every half that starts on an axis takes the same steps: they are worked out once.
        if (running == 0.0f && outer == r && last < float(Walk::kMaxSteps)) {
            if (walk->count <= static_cast<int32_t>(last)) walk->Extend(r, static_cast<int32_t>(last) + 1);
            for (int32_t i = 0; float(i) <= last && step(float(i), walk->outer[i], walk->d[i]); ++i) {
            }
            return;
        }
        float previous = 0.0f;
        for (; running <= last; running += 1.0f) {
            const float d = WalkStep(r, running, outer, previous);
            if (!step(running, outer, d)) break;
        }
    }

    template <typename C>
    void Draw(float a, float b)
    {
        const float startAcross = a > 0.0f ? r * std::cos(a) : r;
        const float startAlong = a > 0.0f ? r * std::sin(a) : 0.0f;
        const float endAcross = b < QuarterTurn ? r * std::cos(b) : 0.0f;
        const float endAlong = b < QuarterTurn ? r * std::sin(b) : r;
        const float diagonal = r / Sqrt2;

        // Every pixel of the quarter lies within local -3..r+1 on both axes.
        const float lo = -4.0f, hi = r + 2.0f;
        float minX = cx, maxX = cx, minY = cy, maxY = cy;
        for (float along : {lo, hi})
            for (float across : {lo, hi}) {
                const float x = m[1] * across + m[0] * along + cx;
                const float y = m[3] * across + m[2] * along + cy;
                minX = std::min(minX, x); maxX = std::max(maxX, x);
                minY = std::min(minY, y); maxY = std::max(maxY, y);
            }
        if (maxX < 0.0f || maxY < 0.0f || minX >= float(width) || minY >= float(height)) return;
        checked = !(minX >= 0.0f && minY >= 0.0f && maxX < float(width) && maxY < float(height));

        Half<C>(startAlong, std::min(diagonal, endAlong - 1.0f), startAcross, true);
        Half<C>(endAcross, std::min(diagonal, startAcross - 1.0f), endAlong, false);
    }
};

}  // namespace

void DrawArc(Surface& surface, uint32_t colour, float cx, float cy, float radius,
             float startAngle, float endAngle, RasterMode mode, float weight, bool antiAlias)
{
    if (!HasPixels(surface) || !IsPixelOperation(mode) || !WeightDraws(mode, weight)) return;
    if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(startAngle) || !std::isfinite(endAngle))
        return;
    if (!(radius <= MaxArcRadius) || !(radius > 0.0f)) return;
    // Centres far off the surface could not reach it with a radius within the limit.
    constexpr float far = 4.0f * MaxArcRadius;
    if (std::fabs(cx) > far || std::fabs(cy) > far) return;

    const float start = WrapAngle(startAngle);
    const float end = WrapAngle(endAngle);
    const int32_t startQuadrant = static_cast<int32_t>(start * QuartersPerRadian);
    const int32_t endQuadrantRaw = static_cast<int32_t>(std::ceil(end * QuartersPerRadian)) - 1;
    const int32_t endQuadrant = endQuadrantRaw < startQuadrant ? endQuadrantRaw + 4 : endQuadrantRaw;
    const float startOffset = start - float(startQuadrant) * QuarterTurn;
    const float endOffset = end - float(endQuadrantRaw) * QuarterTurn;

    Walk walk;
    QuarterArc arc;
    arc.walk = &walk;
    arc.bits = surface.bits();
    arc.span = surface.rowSpan();
    arc.width = surface.width();
    arc.height = surface.height();
    arc.colour = colour;
    arc.cx = cx;
    arc.cy = cy;
    arc.r = radius;
    arc.antiAlias = antiAlias;
    arc.weight256 = weight * 256.0f;
    arc.plainWeight = WeightToFixed(weight);
    arc.plainPair = arc.weight256 >= 0.0f && arc.weight256 <= 256.0f;

    WithCombiner(mode, [&](auto combiner) {
        using C = decltype(combiner);
        auto quarter = [&](int32_t q, float a, float b) {
            arc.m = QuadrantMatrix[q & 3];
            arc.Draw<C>(a, b);
        };
        if (startQuadrant == endQuadrant) {
            quarter(startQuadrant, startOffset, endOffset);
            return;
        }
        quarter(startQuadrant, startOffset, QuarterTurn);
        for (int32_t q = startQuadrant + 1; q < endQuadrant; ++q) quarter(q, 0.0f, QuarterTurn);
        quarter(endQuadrant, 0.0f, endOffset);
    });
}

void DrawCircle(Surface& surface, uint32_t colour, float cx, float cy, float radius,
                RasterMode mode, float weight, bool antiAlias)
{
    DrawArc(surface, colour, cx, cy, radius, 0.0f, FullTurn, mode, weight, antiAlias);
}
