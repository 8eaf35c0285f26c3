// The spectrum loops built for AVX-512 (foundation instructions only); run only where the
// processor and system support it.
#if !defined(__AVX512F__)
#error "this file must be compiled with AVX-512"
#endif

#include "dsp/SpectrumKernels.inl"

const SpectrumKernels kSpectrumKernelsAvx512 = {KernelMagnitudes, KernelLogMap};
