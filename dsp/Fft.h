// In-place split-radix FFT of double precision for the power-of-two sizes 2 to 32768.
//
// The forward transform takes natural order and leaves its spectrum scrambled; callers
// read bin j at FftBinPosition(size, j) instead of paying for a reordering pass. The
// inverse takes the scrambled order and gives natural order back. Neither scales, so a
// forward transform followed by an inverse multiplies every value by the size.
#pragma once

// Real part first, then imaginary: transform buffers interleave the two.
struct Complex {
    double re;
    double im;
};

constexpr int kFftMinSize = 2;
constexpr int kFftMaxSize = 32768;

// Fills the twiddle and order tables once; later calls return at once. Must have run
// before the first transform. Safe to call from several threads.
void FftPrepareTables();

// Transforms size values in place, forward when inverse is 0. Any size other than a power
// of two from 2 to 32768 (or a null buffer) leaves the buffer untouched. Never allocates.
void FftTransform(Complex* buffer, int size, int inverse);

// The forward transform of buffer[i] = (w(in[i]) * window[i], 0) for i below size, where
// w holds values beyond +-limit at it and takes no number as 0: the same bits as filling
// the buffer so and calling FftTransform, without the pass that fills it. Sizes, null
// pointers and allocation as FftTransform; in and window are read only.
void FftTransformWindowed(const double* in, const double* window, double limit, Complex* buffer, int size);

// Position of the coefficient X_bin = sum_k x_k * exp(-2 pi i * bin * k / size) in a
// forward-transformed buffer. Answers 0 for a size that is not transformed or a bin
// outside 0 .. size - 1.
int FftBinPosition(int size, int bin);
// All of them at once: order[bin] == FftBinPosition(size, bin) for bins 0 .. size - 1, or
// null for a size that is not transformed.
const int* FftBinOrder(int size);

// The frequency f held at position p of a forward-transformed buffer of size n: the value
// there is sum_k x_k * exp(+2 pi i * f * k / n), that is X_((n - f) mod n).
unsigned FftOutputFrequency(unsigned position, unsigned n);
