#pragma once

#include "analyser/GraphControl.h"

// A graph whose area under the curve, down to the bottom edge, is filled.
class FilledGraphControl : public GraphControl {
public:
    FilledGraphControl(PluginCore* plug, const Rect& rect, const Colour& colour, bool fill, const Blend& blend,
                       bool antiAlias);

    bool Draw(Graphics& graphics) override;

protected:
    // The columns c of the segment from xa to xb: ceil(xa) to floor(xb), limited to the
    // control's own columns. False when the segment holds none.
    bool SegmentColumns(float xa, float xb, int& first, int& last) const;

    bool drawEdge = true;
    bool drawFill;
};
