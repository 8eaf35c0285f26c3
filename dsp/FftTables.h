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

// The twiddle w of every step k = 0 .. N/4 - 1 of the pass of size N = 4 ... 32768, as the
// kernels multiply by it: (wr, wr) in fftStepCosines and (-wi, wi) in fftStepSines, at
// FftStepTwiddleOffset(N) + k. Taken from the tables above (mirrored entries and sqrt(1/2)
// put in place, w = 1 for k = 0), so that a vector step reads neighbouring entries.
constexpr int FftStepTwiddleOffset(int n) { return n / 4 - 1; }
constexpr int kFftStepTwiddleTotal = FftStepTwiddleOffset(2 * kFftMaxSize);
extern Complex fftStepCosines[kFftStepTwiddleTotal];
extern Complex fftStepSines[kFftStepTwiddleTotal];

// The same transform built for several instruction sets; all give the same bits.
// FftTransform runs the fastest one the processor and system support.
enum FftInstructionSet { kFftPortable, kFftAvx, kFftAvx2, kFftAvx512, kFftInstructionSetCount };
using FftKernel = void (*)(Complex* buffer, int size, int inverse);
// The build for an instruction set, or null where this binary lacks it or this processor
// and system cannot run it. The portable build (SSE2 where the target has it) is always there.
FftKernel FftKernelFor(int set);
const char* FftInstructionSetName(int set);

void FftTransformPortable(Complex* buffer, int size, int inverse);
void FftTransformAvx(Complex* buffer, int size, int inverse);
void FftTransformAvx2(Complex* buffer, int size, int inverse);
void FftTransformAvx512(Complex* buffer, int size, int inverse);

// FftTransformWindowed, built alike.
using FftWindowedKernel = void (*)(const double* in, const double* window, double limit, Complex* buffer, int size);
FftWindowedKernel FftWindowedKernelFor(int set);
void FftWindowedForwardPortable(const double* in, const double* window, double limit, Complex* buffer, int size);
void FftWindowedForwardAvx(const double* in, const double* window, double limit, Complex* buffer, int size);
void FftWindowedForwardAvx2(const double* in, const double* window, double limit, Complex* buffer, int size);
void FftWindowedForwardAvx512(const double* in, const double* window, double limit, Complex* buffer, int size);
