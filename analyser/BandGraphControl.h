#pragma once

#include "analyser/FilledGraphControl.h"

// A graph of two curves with the band between them filled; values map about the centre.
class BandGraphControl : public FilledGraphControl {
public:
    BandGraphControl(PluginCore* plug, const Rect& rect, const Colour& colour, bool fill, const Blend& blend,
                     bool antiAlias);

    bool Draw(Graphics& graphics) override;

    using GraphControl::SetValues;
    // The second curve becomes the mirror image of the first about the middle of the rectangle.
    void SetValues(const SampleBuffer& y, CriticalSection* lock, bool map) override;
    void SetValues(const FloatArray& y, CriticalSection* lock, bool map) override;
    void MapY(int from, int to) override;
    virtual void SetBand(const SampleBuffer& y, const SampleBuffer& y2, CriticalSection* lock, bool map);
    virtual void SetBand(const FloatArray& y, const FloatArray& y2, CriticalSection* lock, bool map);
    virtual void MapY2(int from, int to);

    FloatArray& FirstCurve() { return firstCurve; }
    FloatArray& SecondCurve() { return y2Positions; }
    const FloatArray& FirstCurve() const { return firstCurve; }
    const FloatArray& SecondCurve() const { return y2Positions; }

protected:
    void MirrorSecondCurve();
    void ShowUpdated() override;
    template <typename Source>
    void AssignMirrored(const Source& y, CriticalSection* lock, bool map);
    template <typename Source>
    void AssignBand(const Source& y, const Source& y2, CriticalSection* lock, bool map);

    float centre;
    FloatArray& firstCurve;
    FloatArray y2Positions;
};
