// Puts pictures of packed 0xAARRGGBB pixels on an X window: as they are when the window's
// visual is 8-8-8 RGB, through its colour masks otherwise, black beyond the picture. The
// conversion buffer is kept between puts.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Rect.h"
#include "graphics/ScaleBlit.h"

struct _XDisplay;
struct _XGC;

class X11Image {
public:
    // The window's visual (an Xlib Visual*) and depth.
    void SetVisual(void* visual, int32_t depth);
    // Puts `area` of a window of width x height, taken from `picture`. True when it was sent
    // (the server may still refuse it: a window the host has destroyed).
    bool Put(_XDisplay* display, unsigned long window, _XGC* gc, const PixelRows& picture, const Rect& area,
             int32_t width, int32_t height);

private:
    void* visual = nullptr;
    int32_t depth = 0;
    std::vector<uint32_t> converted;
};
