// The text that follows the pointer: the level under it in the time display, the frequency
// under it in the freq and spectro displays, nothing in the phase display. The text is kept
// from draw to draw: over the caption box the freq display shows the previous one again.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/Rect.h"

class Graphics;
struct TextStyle;
struct ZoomBand;

class Readout {
public:
    Readout(const Rect& view, const Rect& captionBox);

    // The readout of the pointer at (x, y) in the display `domain`, beside the pointer and
    // inside the view. band is the display's zoom band (null when there is none).
    void Draw(Graphics& graphics, const TextStyle& style, int32_t x, int32_t y, int32_t domain, float vScale,
              const ZoomBand* band, double sampleRate);

    const std::string& Text() const { return text; }

private:
    Rect rect;
    Rect captionBox;
    int32_t width;
    int32_t height;
    std::string text;
};
