// Integer pixel rectangles, right and bottom exclusive. All four fields zero means empty.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    Rect() = default;
    Rect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    // The framework's only emptiness test: an inverted rectangle is not "empty".
    bool IsEmpty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Computed wide so that extreme rectangles cannot overflow.
    int64_t Width() const { return static_cast<int64_t>(right) - left; }
    int64_t Height() const { return static_cast<int64_t>(bottom) - top; }
    bool operator==(const Rect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

// Bounding box of both; an empty side yields the other unchanged.
Rect RectUnion(const Rect& a, const Rect& b);
// Touching rectangles count as overlapping: used to merge dirty areas that share an edge.
bool RectsOverlap(const Rect& a, const Rect& b);
// The common part when they overlap (possibly zero wide when they only touch), else all zero.
Rect RectIntersection(const Rect& a, const Rect& b);
