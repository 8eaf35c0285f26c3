// The transform for the target's baseline instruction set: SSE2 where the target has it
// (every x86-64, and the 32-bit plug-in, built with -msse2), plain scalar code elsewhere.
#include "dsp/FftKernels.inl"

void FftTransformPortable(Complex* buffer, int size, int inverse)
{
    KernelTransform(buffer, size, inverse);
}

void FftWindowedForwardPortable(const double* in, const double* window, double limit, Complex* buffer, int size)
{
    KernelWindowedForward(in, window, limit, buffer, size);
}
