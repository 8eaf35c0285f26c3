// The transform built for AVX: the build compiles this file alone with -mavx and
// FftTransform runs it only where the processor and system support AVX.
#if !defined(__AVX__) || defined(__AVX2__)
#error "this file must be compiled with AVX and without AVX2"
#endif

#include "dsp/FftKernels.inl"

void FftTransformAvx(Complex* buffer, int size, int inverse)
{
    KernelTransform(buffer, size, inverse);
}

void FftWindowedForwardAvx(const double* in, const double* window, double limit, Complex* buffer, int size)
{
    KernelWindowedForward(in, window, limit, buffer, size);
}
