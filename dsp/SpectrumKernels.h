// The per-sample loops of a spectrum frame around the transform, built like the transform
// for several instruction sets with the same bits from each: the pictures must not depend
// on the processor.
#pragma once

#include "dsp/Fft.h"

struct SpectrumKernels {
    // out[bins[i]] = sqrt((re * re + im * im) * scale) of x[positions[i]] for i below count;
    // bins holds each of 0 .. count - 1 once.
    void (*magnitudes)(const Complex* x, const int* positions, const int* bins, int count, double scale,
                       double* out);
    // values[n] = (f values[k + 1] + (1 - f) values[k]) weight[n] for n from length - 2 down
    // to 0, k and f the whole and fractional parts of position[n]. Position 0 is 0 and every
    // other position is below its index, but for length - 2, which may read the last value.
    void (*logMap)(double* values, const double* position, const double* weight, int length);
};

// The kernels for an instruction set of FftTransform's (FftInstructionSet), or null where
// FftKernelFor has none; sets without kernels of their own use the next narrower ones.
const SpectrumKernels* SpectrumKernelsFor(int set);
// The widest the processor and system support.
const SpectrumKernels& BestSpectrumKernels();

extern const SpectrumKernels kSpectrumKernelsPortable;
extern const SpectrumKernels kSpectrumKernelsAvx2;
extern const SpectrumKernels kSpectrumKernelsAvx512;
