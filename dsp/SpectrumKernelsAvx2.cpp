// The spectrum loops built for AVX2 (without FMA); run only where the processor has it.
#if !defined(__AVX2__)
#error "this file must be compiled with AVX2"
#endif

#include "dsp/SpectrumKernels.inl"

const SpectrumKernels kSpectrumKernelsAvx2 = {KernelMagnitudes, KernelLogMap};
