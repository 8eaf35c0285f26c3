// Gathers plain vertical lines and hands them to Graphics::DrawVerticalLines a batch at a
// time, in the order they were added: a graph's fill costs one call per batch, not per column.
#pragma once

#include <cstdint>

#include "graphics/Blend.h"
#include "graphics/Colour.h"
#include "graphics/Graphics.h"

class VerticalLineBatch {
public:
    VerticalLineBatch(Graphics& graphics, const Colour& colour, const Blend& blend)
        : graphics(graphics), colour(colour), blend(blend)
    {
    }
    ~VerticalLineBatch() { Flush(); }
    VerticalLineBatch(const VerticalLineBatch&) = delete;
    VerticalLineBatch& operator=(const VerticalLineBatch&) = delete;

    void Add(float x, float from, float to)
    {
        if (count == kSize) Flush();
        xs[count] = x;
        froms[count] = from;
        tos[count] = to;
        ++count;
    }

    void Flush()
    {
        if (count > 0) graphics.DrawVerticalLines(colour, xs, froms, tos, count, blend);
        count = 0;
    }

private:
    static constexpr int32_t kSize = 128;
    Graphics& graphics;
    const Colour colour;
    const Blend blend;
    int32_t count = 0;
    float xs[kSize];
    float froms[kSize];
    float tos[kSize];
};
