// The kernels as the 32-bit build (no SSE2) compiles them, so the tests can hold that code
// to the same bits as the vector builds.
#define QUILLOGRAPH_FFT_SCALAR 1
#include "dsp/FftKernels.inl"

void ScalarKernelTransform(Complex* buffer, int size, int inverse)
{
    KernelTransform(buffer, size, inverse);
}

void ScalarKernelWindowedForward(const double* in, const double* window, double limit, Complex* buffer, int size)
{
    KernelWindowedForward(in, window, limit, buffer, size);
}
