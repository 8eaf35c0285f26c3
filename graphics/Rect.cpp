#include "graphics/Rect.h"

#include <algorithm>

Rect RectUnion(const Rect& a, const Rect& b)
{
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return Rect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom));
}

bool RectsOverlap(const Rect& a, const Rect& b)
{
    if (a.IsEmpty() || b.IsEmpty()) return false;
    return a.right >= b.left && a.left < b.right && a.bottom >= b.top && a.top < b.bottom;
}

Rect RectIntersection(const Rect& a, const Rect& b)
{
    if (!RectsOverlap(a, b)) return Rect();
    return Rect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
}
