// What a display draws from at one redraw of the view: the view's history and state as the
// draw found them, made afresh for each draw. newSamples is the view's own count of samples
// not yet shown, which the display consumes.
#pragma once

#include <cstdint>

#include "analyser/Scales.h"
#include "graphics/Colour.h"

class Graphics;
class SampleRing;

struct DisplayContext {
    Graphics& graphics;
    const SampleRing& ringLeft;
    const SampleRing& ringRight;
    int32_t& newSamples;
    double samplesPerColumn;
    float vScale;
    const Colour& backgroundColour;
    const Colour& fillColour;
    const Colour& edgeColour;
    Scales scales;
};
