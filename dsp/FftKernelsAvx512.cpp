// The transform built for AVX-512 (foundation instructions only): the build compiles this
// file alone with -mavx512f and FftTransform runs it only where the processor and system
// support it.
#if !defined(__AVX512F__)
#error "this file must be compiled with AVX-512"
#endif

#include "dsp/FftKernels.inl"

void FftTransformAvx512(Complex* buffer, int size, int inverse)
{
    KernelTransform(buffer, size, inverse);
}

void FftWindowedForwardAvx512(const double* in, const double* window, double limit, Complex* buffer, int size)
{
    KernelWindowedForward(in, window, limit, buffer, size);
}
