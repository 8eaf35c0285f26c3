// The transform built for AVX2 (without FMA, which would round differently): the build
// compiles this file alone with -mavx2 and FftTransform runs it only where the processor
// and system support AVX2.
#if !defined(__AVX2__) || defined(__AVX512F__) || defined(__FMA__)
#error "this file must be compiled with AVX2, without AVX-512 and FMA"
#endif

#include "dsp/FftKernels.inl"

void FftTransformAvx2(Complex* buffer, int size, int inverse)
{
    KernelTransform(buffer, size, inverse);
}

void FftWindowedForwardAvx2(const double* in, const double* window, double limit, Complex* buffer, int size)
{
    KernelWindowedForward(in, window, limit, buffer, size);
}
