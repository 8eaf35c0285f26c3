// One frequency range of the "fft zoom" parameter: its grid frequencies and where they fall
// across the display, for one FFT size at the current sample rate.
#pragma once

#include <cstdint>

#include "analyser/FloatArray.h"
#include "analyser/IntArray.h"

struct ZoomBand {
    double lowFrequency = 0.0;
    double highFrequency = 0.0;
    int32_t lowColumn = 0;
    int32_t highColumn = 0;
    IntArray gridFrequencies;  // Hz
    FloatArray gridPositions;  // 0..1 across the band, one per grid frequency

    // Takes the grid; low and high are its first and last frequency. The positions are
    // zeroed until ComputePositions fills them.
    bool SetGrid(const int32_t* frequencies, int count);

    // Columns of the logarithmic axis of an fftSize-point frame for the band's edges and
    // the relative position of every grid frequency between them; flip turns it upside
    // down (the spectrogram's frequency axis runs from the bottom).
    void ComputePositions(double sampleRate, int fftSize, bool flip);
};
