// The transform built for AVX: the build compiles this file alone with -mavx (natively on
// x86-64 only) and FftTransform runs it only where the processor and system support AVX.
#if !defined(__AVX__)
#error "this file must be compiled with AVX enabled"
#endif

#include "dsp/FftKernels.inl"

void FftTransformAvx(Complex* buffer, int size, int inverse)
{
    KernelTransform(buffer, size, inverse);
}
