// Turns a block of mono samples into a magnitude spectrum and re-spaces it onto a
// logarithmic frequency axis, for the "freq" and "spectro" displays.
//
// A frame of N samples at sample rate R gives the bins 0 .. N/2 - 1, bin k standing for
// k R / N hertz. On the logarithmic axis of L = N/2 positions, position n reads the source
// bin L (1 - ln(L - n) / ln L), so the low bins spread over many positions.
#pragma once

#include "dsp/SampleRing.h"
#include "dsp/Fft.h"
#include "plugin/GrowableArray.h"

class SpectrumEstimator {
public:
    SpectrumEstimator();

    // The input block, oldest sample first; its length is the frame size N. The owner sizes
    // it and keeps its write position at 0.
    SampleRing samples;

    // Magnitudes of bins 0 .. N/2 - 1 of the Blackman-windowed block: sqrt(|X|^2 / N).
    // The array belongs to the estimator and is rewritten by the next call. A block whose
    // length the FFT cannot take gives N/2 zeros; samples that are no number count as 0.
    GrowableArray<double>& ComputeFrame();

    // Re-spaces the values in place onto the logarithmic axis. Position 0 becomes 0 and the
    // last value stays as it was.
    void MapToLogFrequency(GrowableArray<double>& values);
    void MapToLogFrequency(double* values, int length);

    // The cached axis tables of the length last re-spaced: the fractional source bin of
    // each position and its weight, the square root of the bins it covers.
    const GrowableArray<double>& LogPositions() const { return logPosition; }
    const GrowableArray<double>& LogWeights() const { return logWeight; }

private:
    bool PrepareWindow(int n);
    bool PrepareLogTables(int length);
    // Where the transform leaves bins 0 .. N/2 - 1, in rising order, and which bin each is.
    bool PrepareReadOrder(int n);

    GrowableArray<Complex> work;
    GrowableArray<double> window;
    GrowableArray<double> magnitudes;
    GrowableArray<double> logPosition;
    GrowableArray<double> logWeight;
    GrowableArray<int> readPositions;
    GrowableArray<int> readBins;
};

// The position on the logarithmic axis of a size-point frame (or, without logScale, the
// nearest linear bin) for a frequency in hertz. Always between 0 and size / 2 (size for
// the linear bin); 0 when the sample rate is not a positive number or hz is no number.
int FrequencyToIndex(double hz, double sampleRate, int size, bool logScale);

// The frequency in hertz at a position of the logarithmic axis (or a linear bin). A
// position at or past the top of the axis reads as the top one; a sample rate that is not
// a positive number gives 0.
double IndexToFrequency(int index, int size, double sampleRate, bool logScale);
