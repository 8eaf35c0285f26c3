// The seven zoom bands of the "fft zoom" parameter, once for the freq display (positions on
// the axis of an 8192-sample frame) and once for the spectrogram (a 1024-sample frame,
// flipped so that its axis runs from the bottom).
#pragma once

#include <vector>

#include "analyser/ZoomBand.h"

class ZoomBandTables {
public:
    // The grids are set and their positions computed for a first rate, so that the displays
    // may read them before any host rate arrives.
    explicit ZoomBandTables(double sampleRate);

    void ComputePositions(double sampleRate);

    // Band `zoom` of each table; null when the tables could not be made.
    const ZoomBand* Freq(int zoom) const;
    const ZoomBand* Spectro(int zoom) const;

private:
    std::vector<ZoomBand> freqBands;
    std::vector<ZoomBand> spectroBands;
};
