// The overlays that give the displays their scales: grey grid lines with their labels, the
// decibel lines of the time display and the axes and level circles of the phase display.
// Made for one draw of the view: it draws across the view's rectangle, labels with the
// caption style (a level label turns it left-aligned for a moment) and follows the v scale.
#pragma once

#include <cstdint>
#include <string>

#include "analyser/FloatArray.h"
#include "analyser/IntArray.h"
#include "graphics/Rect.h"

class Graphics;
struct TextStyle;

class Scales {
public:
    Scales(const Rect& view, TextStyle& captionStyle, float vScale);

    // One grey line across the view at a fraction of its width (axis 0, vertical) or height
    // (axis 1, horizontal), with its label when there is room for it.
    void DrawGridLine(Graphics& graphics, float position, const std::string& label, int32_t axis);
    void DrawFrequencyGrid(Graphics& graphics, const IntArray& frequencies, const FloatArray& positions,
                           int32_t axis);
    void DrawTimeScale(Graphics& graphics);
    void DrawPhaseScale(Graphics& graphics);
    void DrawLevelCircle(Graphics& graphics, float ratio, const std::string& label);

    // The label of a grid frequency: 500, 1k, 7.5k.
    static std::string FrequencyLabel(int32_t hz);

private:
    Rect rect;
    TextStyle& captionStyle;
    float vScale;
    int32_t width;
    int32_t height;
    float cx;
    float cy;
};
