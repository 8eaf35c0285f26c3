// Shared between the FFT's entry points and its kernels; not for callers of the FFT.
#pragma once

#include "dsp/Fft.h"

// The twelve twiddle tables for N = 16 ... 32768, one after another. Entry k - 1 of the
// table for N holds exp(2 pi i k / N): all k below N/4 up to 512 points; from 1024 points
// on only k below N/8, which the passes mirror, so the large tables take half the memory.
constexpr int FftTwiddleCount(int n) { return n <= 512 ? n / 4 - 1 : n / 8 - 1; }
constexpr int FftTwiddleOffset(int n) { return n <= 16 ? 0 : FftTwiddleOffset(n / 2) + FftTwiddleCount(n / 2); }
constexpr int kFftTwiddleTotal = FftTwiddleOffset(2 * kFftMaxSize);

extern Complex fftTwiddles[kFftTwiddleTotal];
// cos(pi/4) as the 16-point table holds it (its second entry).
extern double fftSqrtHalf;

// The same transform built twice: for the target's baseline instruction set, and (natively
// on x86-64) for AVX. Both give the same bits; FftTransform picks one at run time.
void FftTransformPortable(Complex* buffer, int size, int inverse);
void FftTransformAvx(Complex* buffer, int size, int inverse);
// Whether the AVX build exists and this processor and system can run it.
bool FftAvxAvailable();
