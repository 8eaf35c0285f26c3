// The "time" display: a scrolling min/max envelope of the mono mix, one column per
// samplesPerColumn samples, newest at the right edge. Its band graph holds, per column, the
// pixel row of the minimum (first curve) and of the maximum (second curve).
#pragma once

#include "analyser/BandGraphControl.h"
#include "analyser/DisplayContext.h"

class TimeDisplay {
public:
    explicit TimeDisplay(const Rect& view);

    // A fresh start when the domain is chosen: both curves one zero per column, the x
    // positions spread anew by the next draw.
    void Reset();
    void Draw(DisplayContext context);

    const FloatArray& FirstCurve() const { return band.FirstCurve(); }
    const FloatArray& SecondCurve() const { return band.SecondCurve(); }
    const FloatArray& XPositions() const { return band.XPositions(); }

private:
    BandGraphControl band;
    int width;
};
